#include "engine/release_manifest.h"

#include <gtest/gtest.h>

#include "infra/language_portable.h"
#include "support/failure.h"
#include "support/scoped_override.h"

namespace vk {
namespace {

const std::string kDigest(64, 'a');

// A verified manifest as far as the content of its file list needs one.
ChannelManifest ManifestAskingFor(const std::string& minLauncherVersion) {
    ChannelManifest manifest;
    manifest.minLauncherVersion = minLauncherVersion;
    return manifest;
}

TEST(LauncherInfoFromManifest, OffersNeedALowerCaseDigestAndASize) {
    struct Case {
        const char* name;
        std::string manifest;
        std::string version;
        std::string banner;
    };
    const std::string offer = R"("launcher": {"version": "2.5.0", "sha256": ")" + kDigest + R"(", "size": 7})";
    const std::string banner = R"("banner": {"sha256": ")" + kDigest + R"(", "size": 9})";
    const Case cases[] = {
        {"both", "{" + offer + ", " + banner + "}", "2.5.0", kDigest},
        {"none", "{}", "", ""},
        {"upper-case digest",
         R"({"launcher": {"version": "2.5.0", "sha256": ")" + std::string(64, 'A') + R"(", "size": 7}})", "", ""},
        {"size 0", R"({"launcher": {"version": "2.5.0", "sha256": ")" + kDigest + R"(", "size": 0}})", "", ""},
        {"array is ignored", R"({"launcher": [1, 2], "banner": []})", "", ""},
        {"missing version", R"({"launcher": {"sha256": ")" + kDigest + R"(", "size": 7}, )" + banner + "}", "",
         kDigest},
        {"size as text", R"({"banner": {"sha256": ")" + kDigest + R"(", "size": "9"}})", "", ""},
    };
    for (const auto& c : cases) {
        const LauncherInfo info = LauncherInfoFromManifest(ParseJson(c.manifest));
        EXPECT_EQ(info.launcherVersion, c.version) << c.name;
        EXPECT_EQ(info.bannerSha256, c.banner) << c.name;
        if (!c.version.empty()) {
            EXPECT_EQ(info.launcherSha256, kDigest);
            EXPECT_EQ(info.launcherSize, 7u);
        }
    }
}

TEST(ReadReleaseContent, ArgumentsAndGroupsAreTakenAsTheyAre) {
    const ChannelManifest manifest = ManifestAskingFor("2.4.0");
    ReleaseListDocument list = ParseReleaseList(R"({"build_id": "b", "project_version": "1.0",
        "launch": {"path": "Bin/Game.exe", "args": ["-a", 5, "-b"]},
        "files": [{"path": "Velkar/a.pak", "size": 2.5, "sha256": ")" +
                                                kDigest + R"(", "group": 5},
                  {"path": "Velkar/b.pak", "size": 1, "sha256": ")" +
                                                kDigest + R"(", "group": "island"}]})");
    RemoteRelease release;
    ReadReleaseContent(manifest, std::move(list), release);
    EXPECT_EQ(release.launchArgs, (std::vector<std::string>{"-a", "", "-b"}));
    ASSERT_EQ(release.files.size(), 2u);
    EXPECT_EQ(release.files[0].group, "");
    EXPECT_EQ(release.files[0].size, 2u);
    EXPECT_EQ(release.files[1].group, "island");
    EXPECT_EQ(release.totalSize, 3u);
    EXPECT_EQ(release.minLauncherVersion, "2.4.0");
}

TEST(ReadReleaseContent, ShortDigestOrLaunchPathOutsideTheRulesFail) {
    const ChannelManifest manifest = ManifestAskingFor("2.4.0");
    auto failure = [&](const std::string& launch, const std::string& digest) -> std::string {
        RemoteRelease release;
        try {
            ReadReleaseContent(
                manifest,
                ParseReleaseList(R"({"build_id": "b", "project_version": "1", "launch": {"path": ")" + launch +
                                 R"(", "args": []}, "files": [{"path": "a.pak", "size": 1, "sha256": ")" + digest +
                                 R"("}]})"),
                release);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    };
    useEnglish = false;
    EXPECT_EQ(failure("Velkar.exe", kDigest), "");
    EXPECT_EQ(failure("Velkar.exe", std::string(63, 'a')), "版本文件列表格式错误：a.pak");
    EXPECT_EQ(failure("/Velkar.exe", kDigest), "版本清单包含非法路径：/Velkar.exe");
}

TEST(ReadReleaseContent, FilesThatAreNotAListAreRefused) {
    // Read as a release without files, the list would have an update delete every recorded file.
    const test::ScopedOverride english(useEnglish, true);
    RemoteRelease release;
    const std::string message = test::FailureOf([&] {
        ReadReleaseContent(ManifestAskingFor("2.4.0"), ParseReleaseList(R"({"build_id": "b", "project_version": "1",
            "launch": {"path": "Velkar.exe", "args": []}, "files": {"path": "a.pak"}})"),
                           release);
    });
    EXPECT_EQ(message, "Release file list is malformed: files");
}

}  // namespace
}  // namespace vk
