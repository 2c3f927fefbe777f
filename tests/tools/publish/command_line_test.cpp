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

TEST(CommandLineTest, ChannelMovesAndReadingsOfTheStore) {
    const auto promote = std::get<PromoteOptions>(ParseCommandLine(
        {"promote", "--store", "s", "--key", "k.pem", "--from", "internal", "--to", "live", "--wait", "9"}));
    EXPECT_EQ(promote.from, "internal");
    EXPECT_EQ(promote.to, "live");
    EXPECT_EQ(promote.waitSeconds, 9);
    EXPECT_FALSE(promote.expiresInDays);
    EXPECT_EQ(promote.published, "");

    const auto byBuild = std::get<RollbackOptions>(
        ParseCommandLine({"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-build", "b1",
                          "--expires-in", "3", "--published", "2026-12-10T11:46:17Z"}));
    EXPECT_EQ(byBuild.target.kind, ReleaseRef::Kind::Build);
    EXPECT_EQ(byBuild.target.value, "b1");
    EXPECT_EQ(byBuild.expiresInDays, std::optional<int>(3));
    EXPECT_EQ(byBuild.published, "2026-12-10T11:46:17Z");
    const auto byPath = std::get<RollbackOptions>(ParseCommandLine(
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-release", "lists/b1.json"}));
    EXPECT_EQ(byPath.target.kind, ReleaseRef::Kind::Path);
    EXPECT_EQ(byPath.target.value, "lists/b1.json");

    const auto releases = std::get<ReleasesOptions>(ParseCommandLine({"releases", "--store", "s", "--json"}));
    EXPECT_TRUE(releases.json);
    EXPECT_EQ(releases.channel, "");
    const auto diff = std::get<DiffOptions>(
        ParseCommandLine({"diff", "--to-channel", "live", "--store", "s", "--from-release", "releases/b1.json"}));
    EXPECT_EQ(diff.from.kind, ReleaseRef::Kind::Path);
    EXPECT_EQ(diff.to.kind, ReleaseRef::Kind::Channel);
    EXPECT_EQ(diff.to.value, "live");
    EXPECT_FALSE(diff.json);
    EXPECT_TRUE(std::get<VerifyOptions>(
                    ParseCommandLine({"verify", "--store", "s", "--channel", "live", "--public", "p", "--json"}))
                    .json);
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
        {"promote", "--store", "s", "--key", "k.pem", "--from", "internal"},
        {"promote", "--store", "s", "--key", "k.pem", "--from", "live", "--to", "live"},
        {"promote", "--store", "s", "--key", "k.pem", "--from", "a/b", "--to", "live"},
        {"promote", "--store", "s", "--key", "k.pem", "--from", "internal", "--to", "live", "--expires-in", "0"},
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live"},
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-build", "b1", "--to-release",
         "releases/b1.json"},
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-channel", "internal"},
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-release", "../b1.json"},
        {"rollback", "--store", "s", "--key", "k.pem", "--channel", "live", "--to-build", "../b1"},
        {"releases", "--store", "s", "--channel", ""},
        {"releases", "--store", "s", "--json", "yes"},
        {"diff", "--store", "s", "--from-build", "b1"},
        {"diff", "--store", "s", "--from-build", "b1", "--from-channel", "live", "--to-build", "b2"},
        {"diff", "--store", "s", "--from-release", "C:/b1.json", "--to-build", "b2"},
        {"verify", "--store", "s", "--channel", "live", "--public", "p", "--json", "--json"},
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
