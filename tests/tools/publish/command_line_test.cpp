#include "command_line.h"

#include <gtest/gtest.h>

namespace vk::publish {
namespace {

std::vector<std::string> Release(std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"release",  "--store",    "s",   "--game",    "g",     "--key",
                                          "k.pem",    "--channel",  "live", "--build-id", "b1",   "--version",
                                          "1.0",      "--launch",   "Velkar.exe"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

TEST(CommandLineTest, ReleaseOptionsAndDefaults) {
    const auto options = std::get<ReleaseOptions>(
        ParseCommandLine(Release({"--arg", "-log", "--group", "island=**/Island/*", "--arg", "--windowed", "--group",
                                  "a=b=c"})));
    EXPECT_EQ(options.store, fs::path("s"));
    EXPECT_EQ(options.channel, "live");
    EXPECT_EQ(options.launchArgs, (std::vector<std::string>{"-log", "--windowed"}));
    ASSERT_EQ(options.groups.size(), 2u);
    EXPECT_EQ(options.groups[0].name, "island");
    EXPECT_EQ(options.groups[0].pattern, "**/Island/*");
    EXPECT_EQ(options.groups[1].pattern, "b=c");
    EXPECT_EQ(options.minLauncher, "2.4.0");
    EXPECT_EQ(options.releasePath, "releases/b1.json");
    EXPECT_FALSE(options.launcherExe || options.banner);
}

TEST(CommandLineTest, OtherCommands) {
    const auto gc = std::get<GcOptions>(ParseCommandLine({"gc", "--store", "s", "--keep-release", "releases/a.json",
                                                          "--delete", "--keep-release", "releases/b.json"}));
    EXPECT_EQ(gc.keepReleases, (std::vector<std::string>{"releases/a.json", "releases/b.json"}));
    EXPECT_TRUE(gc.deleteBlobs);
    EXPECT_FALSE(std::get<GcOptions>(ParseCommandLine({"gc", "--store", "s"})).deleteBlobs);
    EXPECT_EQ(std::get<GcOptions>(ParseCommandLine({"gc", "--store", "s", "--delete", "--wait", "30"})).waitSeconds,
              30);
    EXPECT_EQ(std::get<ReleaseOptions>(ParseCommandLine(Release({}))).waitSeconds, 0);
    EXPECT_EQ(std::get<ReleaseOptions>(ParseCommandLine(Release({"--published", "2026-12-10T11:46:17Z"}))).published,
              "2026-12-10T11:46:17Z");
    const auto verify = std::get<VerifyOptions>(ParseCommandLine({"verify", "--public", "p", "--store", "s",
                                                                  "--channel", "beta"}));
    EXPECT_EQ(verify.channel, "beta");
    EXPECT_EQ(verify.publicKey, fs::path("p"));
    EXPECT_EQ(std::get<NewsOptions>(ParseCommandLine({"news", "--store", "s", "--file", "n.json"})).file,
              fs::path("n.json"));
    EXPECT_EQ(std::get<KeygenOptions>(ParseCommandLine({"keygen", "--private", "a", "--public", "b"})).publicKey,
              fs::path("b"));
    EXPECT_FALSE(std::get<ReleaseOptions>(ParseCommandLine(Release({}))).expiresInDays);
    EXPECT_EQ(std::get<ReleaseOptions>(ParseCommandLine(Release({"--expires-in", "30"}))).expiresInDays,
              std::optional<int>{30});
    const auto refresh = std::get<RefreshOptions>(ParseCommandLine(
        {"refresh", "--store", "s", "--key", "k.pem", "--channel", "live", "--expires-in", "7", "--wait", "5"}));
    EXPECT_EQ(refresh.store, fs::path("s"));
    EXPECT_EQ(refresh.key, fs::path("k.pem"));
    EXPECT_EQ(refresh.channel, "live");
    EXPECT_EQ(refresh.expiresInDays, 7);
    EXPECT_EQ(refresh.published, "");
    EXPECT_EQ(refresh.waitSeconds, 5);
}

TEST(CommandLineTest, RefusesMalformedCommands) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"publish"},
        {"gc"},
        {"gc", "--store"},
        {"gc", "--store", "a", "--store", "b"},
        {"gc", "--store", "a", "--force"},
        {"gc", "--store", "a", "--keep-release", "../outside.json"},
        {"keygen", "--private", "a"},
        {"verify", "--store", "s", "--channel", "../x", "--public", "p"},
        Release({"--channel", "other"}),
        Release({"--min-launcher", "2.4-beta"}),
        Release({"--min-launcher", "2..4"}),
        Release({"--launcher-exe", "new.exe"}),
        Release({"--launcher-version", "2.5.0"}),
        Release({"--launcher-exe", "new.exe", "--launcher-version", "next"}),
        Release({"--group", "island"}),
        Release({"--group", "=**"}),
        Release({"--group", "island="}),
        Release({"--release-path", "/abs.json"}),
        Release({"--release-path", "blobs/x.json"}),
        Release({"--release-path", "channels/live/windows.json"}),
        Release({"--release-path", "a/../b.json"}),
        Release({"--arg"}),
        Release({"--wait", "soon"}),
        Release({"--published", "2026-12-10 11:46:17"}),
        Release({"--published", "2026-12-10T11:46:17"}),
        Release({"--wait", "-1"}),
        Release({"--published", "2026-02-30T11:46:17Z"}),
        Release({"--published", "2026-12-10T24:00:00Z"}),
        Release({"--expires-in", "0"}),
        Release({"--expires-in", "3651"}),
        Release({"--expires-in", "1.5"}),
        Release({"--expires-in", "-7"}),
        {"refresh", "--store", "s", "--key", "k.pem", "--channel", "live"},
        {"refresh", "--store", "s", "--key", "k.pem", "--channel", "../live", "--expires-in", "7"},
        {"refresh", "--store", "s", "--key", "k.pem", "--channel", "live", "--expires-in", "7", "--published", "now"},
        {"news", "--store", "s", "--file", "n.json", "--wait", ""},
    };
    for (const auto& arguments : cases) {
        std::string line;
        for (const std::string& argument : arguments) line += argument + " ";
        EXPECT_THROW(ParseCommandLine(arguments), UsageError) << line;
    }
    std::vector<std::string> badBuild = Release({});
    badBuild[10] = "b 1";
    EXPECT_THROW(ParseCommandLine(badBuild), UsageError);
}

}  // namespace
}  // namespace vk::publish
