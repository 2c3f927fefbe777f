#include <windows.h>

#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "engine/seen_sequence.h"
#include "engine/updater.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "support/test_env.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

std::string Published(const std::wstring& relative) { return ReadWholeFile(test::WwwDir() + L"\\game\\" + relative); }

std::string FailureOf(const Updater& updater) {
    return test::FailureOf([&] { updater.FetchRelease(); });
}

class ReleaseFetch : public ::testing::Test {
protected:
    void SetUp() override { useEnglish = true; }
    test::TempDir dir_;
};

TEST_F(ReleaseFetch, VerifiedReleaseIsParsedAndCached) {
    const std::wstring cache = dir_ / L"cache";
    const RemoteRelease release = test::TestUpdater("v1", dir_ / L"game", cache).FetchRelease();

    EXPECT_EQ(release.manifestText, Published(L"channels\\v1\\windows.json"));
    EXPECT_EQ(release.signatureText, Published(L"channels\\v1\\windows.json.sig"));
    EXPECT_EQ(release.buildId, "v1");
    EXPECT_EQ(release.projectVersion, "1.0.0");
    EXPECT_EQ(release.minLauncherVersion, "2.4.0");
    EXPECT_EQ(release.launchPath, "Velkar.exe");
    EXPECT_EQ(release.launchArgs, std::vector<std::string>{"-log"});
    ASSERT_EQ(release.files.size(), 14u);
    std::set<std::string> island;
    std::uint64_t total = 0;
    Updater tree;
    tree.installDir = test::GameTree(L"v1");
    for (const ReleaseFile& file : release.files) {
        total += file.size;
        EXPECT_EQ(file.sha256.size(), 64u);
        EXPECT_EQ(file.size, FileSizeOf(tree.InstallPathOf(file))) << file.path;
        if (!file.group.empty()) island.insert(file.path);
    }
    EXPECT_EQ(release.totalSize, total);
    EXPECT_EQ(island, (std::set<std::string>{"Velkar/Content/Paks/Island/island-Windows.pak",
                                             "Velkar/Content/Paks/Island/island-Windows.utoc"}));
    EXPECT_EQ(ReadWholeFile(cache + L"\\channel.json"), release.manifestText);
    EXPECT_EQ(ReadWholeFile(cache + L"\\channel.json.sig"), release.signatureText);
}

TEST_F(ReleaseFetch, BothDocumentsOfOneCheckShareTheirQueryAndTheListHasNone) {
    test::TestUpdater("logged", dir_ / L"game").FetchRelease();
    const auto manifest = test::AccessLogWith("/game/channels/logged/windows.json?t=");
    const auto signature = test::AccessLogWith("/game/channels/logged/windows.json.sig?t=");
    ASSERT_EQ(manifest.size(), 1u);
    ASSERT_EQ(signature.size(), 1u);
    auto query = [](const std::string& line) {
        return line.substr(line.find("?t="), line.find('|') - line.find("?t="));
    };
    EXPECT_EQ(query(manifest[0]), query(signature[0]));
    EXPECT_GT(query(manifest[0]).size(), 4u);
    EXPECT_NE(manifest[0].find("|no-cache|VelkarLauncher/1|200|"), std::string::npos) << manifest[0];
    const auto lists = test::AccessLogWith("/game/releases/v1.json");
    ASSERT_FALSE(lists.empty());
    for (const std::string& line : lists) EXPECT_EQ(line.find("/game/releases/v1.json?"), std::string::npos) << line;
}

struct Refusal {
    const char* channel;
    const char* message;
};

TEST_F(ReleaseFetch, RefusalsInTheirOrderWithTheirMessages) {
    const Refusal cases[] = {
        {"sig-off", "Release signature check failed; update refused."},
        {"schema-2", "This release does not match the updater. Please download the new updater."},
        {"platform-caps", "This release does not match the updater. Please download the new updater."},
        {"wrong-channel", "This release does not match the updater. Please download the new updater."},
        {"schema-text", "字段不是非负整数 schema"},
        {"list-size", "Release file list check failed."},
        {"list-digest", "Release file list check failed."},  // not parsed: the tampered list is not JSON
        {"list-build", "Release file list does not match the release info."},
        {"list-platform", "Release file list does not match the release info."},
        {"bad-path", "Release list has an invalid path: Velkar/../escape.pak"},
        {"case-duplicate", "Release file list is malformed: velkar/content/paks/PAKCHUNK1-windows.pak"},
        {"no-launch", "缺少字段 launch"},
        {"no-min-launcher", "缺少字段 min_launcher_version"},
        {"expires-garbled", "This release does not match the updater. Please download the new updater."},
        {"list-missing", "Could not get update info: HTTP 404"},
        {"no-such-channel", "Could not get update info: HTTP 404"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FailureOf(test::TestUpdater(c.channel, dir_ / L"game")), c.message) << c.channel;
    }

    Updater otherKey = test::TestUpdater("v1", dir_ / L"game");
    otherKey.publicKeyPem = test::ReadTestEnvFile(L"signing\\b.pub.pem");
    EXPECT_EQ(FailureOf(otherKey), "Release signature check failed; update refused.");
    useEnglish = false;
    EXPECT_EQ(FailureOf(test::TestUpdater("list-build", dir_ / L"game")), "版本文件列表与版本信息不一致。");
}

TEST_F(ReleaseFetch, SchemaIsTruncatedAndAnEmptyListIsARelease) {
    EXPECT_EQ(test::TestUpdater("schema-1-9", dir_ / L"game").FetchRelease().buildId, "v1");
    const RemoteRelease empty = test::TestUpdater("empty", dir_ / L"game").FetchRelease();
    EXPECT_TRUE(empty.files.empty());
    EXPECT_EQ(empty.totalSize, 0u);
}

TEST_F(ReleaseFetch, ASequenceBelowTheHighestSeenForTheChannelIsRefused) {
    const std::wstring cache = dir_ / L"cache";
    const RemoteRelease twice = test::TestUpdater("rollback", dir_ / L"game", cache).FetchRelease();
    EXPECT_EQ(twice.sequence, std::optional<std::uint64_t>{2});
    EXPECT_EQ(SeenSequence(cache, "rollback"), 2u);
    EXPECT_EQ(SeenSequence(cache, "v1"), 0u);
    // Channel v1 is at 1; this computer has seen 3 there.
    RememberSequence(cache, "v1", 3);
    const std::string manifest = ReadWholeFile(cache + L"\\channel.json");
    EXPECT_EQ(FailureOf(test::TestUpdater("v1", dir_ / L"game", cache)),
              "The update server offered an older release than this computer has already seen. Update refused.");
    useEnglish = false;
    EXPECT_EQ(FailureOf(test::TestUpdater("v1", dir_ / L"game", cache)), "更新服务器提供的版本比本机已见过的更旧，已拒绝更新。");
    EXPECT_EQ(ReadWholeFile(cache + L"\\channel.json"), manifest);  // the refused manifest is not cached
    EXPECT_EQ(SeenSequence(cache, "v1"), 3u);
    // An unreadable memory remembers nothing, however it is damaged.
    for (const char* damaged : {"{\"v1\": ", "{\"v1\": -}", "{\"v1\": 1e999}", "{\"v1\": [\"x\"]}"}) {
        WriteFileAtomic(cache + L"\\sequences.json", damaged);
        EXPECT_EQ(SeenSequence(cache, "v1"), 0u) << damaged;
        EXPECT_EQ(test::TestUpdater("v1", dir_ / L"game", cache).FetchRelease().sequence,
                  std::optional<std::uint64_t>{1})
            << damaged;
    }
}

TEST_F(ReleaseFetch, AManifestWithoutASequenceIsRefusedOnceTheChannelHasAFloor) {
    const std::wstring cache = dir_ / L"cache";
    // As published before the numbering: taken while this computer has seen no number for the channel.
    EXPECT_FALSE(test::TestUpdater("unnumbered", dir_ / L"game", cache).FetchRelease().sequence);
    EXPECT_EQ(SeenSequence(cache, "unnumbered"), 0u);
    // Replayed after a numbered one was seen, it counts as sequence 0.
    RememberSequence(cache, "unnumbered", 42);
    EXPECT_EQ(FailureOf(test::TestUpdater("unnumbered", dir_ / L"game", cache)),
              "The update server offered an older release than this computer has already seen. Update refused.");
    EXPECT_EQ(SeenSequence(cache, "unnumbered"), 42u);
}

TEST_F(ReleaseFetch, AManifestPastItsExpiryIsRefusedButStillTellsHowTheGameStarts) {
    const RemoteRelease later = test::TestUpdater("expires-later", dir_ / L"game").FetchRelease();
    EXPECT_EQ(later.expires, "2999-12-31T23:59:59Z");
    EXPECT_EQ(test::TestUpdater("v1", dir_ / L"game").FetchRelease().expires, "");  // as published without one

    for (const bool english : {true, false}) {
        useEnglish = english;
        try {
            test::TestUpdater("expired", dir_ / L"game").FetchRelease();
            ADD_FAILURE() << "an expired manifest was taken";
        } catch (const ReleaseExpired& refusal) {
            EXPECT_STREQ(refusal.what(), english ? "The update information has expired. Try again later."
                                                 : "更新信息已过期，请稍后再试。");
            EXPECT_EQ(refusal.release.buildId, "v1");
            EXPECT_EQ(refusal.release.launchPath, "Velkar.exe");
            EXPECT_EQ(refusal.release.expires, "2001-02-03T04:05:06Z");
        }
    }
}

TEST_F(ReleaseFetch, CacheKeepsAVerifiedManifestWhoseListFailsLater) {
    const std::wstring cache = dir_ / L"cache";
    test::TestUpdater("v1", dir_ / L"game", cache).FetchRelease();
    EXPECT_EQ(FailureOf(test::TestUpdater("bad-path", dir_ / L"game", cache)),
              "Release list has an invalid path: Velkar/../escape.pak");
    EXPECT_EQ(ReadWholeFile(cache + L"\\channel.json"), Published(L"channels\\bad-path\\windows.json"));
    // A manifest refused before its list is read never replaces the cache.
    FailureOf(test::TestUpdater("sig-off", dir_ / L"game", cache));
    FailureOf(test::TestUpdater("list-digest", dir_ / L"game", cache));
    EXPECT_EQ(ReadWholeFile(cache + L"\\channel.json"), Published(L"channels\\bad-path\\windows.json"));
}

TEST_F(ReleaseFetch, CachedLauncherInfoOnlyFromAVerifiedCache) {
    const std::wstring cache = dir_ / L"cache";
    const Updater updater = test::TestUpdater("offers", dir_ / L"game", cache);
    EXPECT_EQ(updater.LoadCachedLauncherInfo().launcherVersion, "");  // nothing cached yet
    const RemoteRelease release = updater.FetchRelease();
    EXPECT_EQ(release.launcher.launcherVersion, "2.5.0");
    EXPECT_EQ(release.launcher.launcherSize, 10u);
    EXPECT_EQ(release.launcher.bannerSize, 20u);

    const LauncherInfo cached = updater.LoadCachedLauncherInfo();
    EXPECT_EQ(cached.launcherVersion, "2.5.0");
    EXPECT_EQ(cached.launcherSha256, release.launcher.launcherSha256);
    EXPECT_EQ(cached.bannerSha256, release.launcher.bannerSha256);

    WriteFileAtomic(cache + L"\\channel.json.sig", "AAAA" + release.signatureText.substr(4));
    EXPECT_EQ(updater.LoadCachedLauncherInfo().launcherVersion, "");
    DeleteFileW((cache + L"\\channel.json.sig").c_str());
    EXPECT_EQ(updater.LoadCachedLauncherInfo().launcherVersion, "");

    Updater noCache = test::TestUpdater("offers", dir_ / L"nocache");
    noCache.FetchRelease();
    EXPECT_EQ(noCache.LoadCachedLauncherInfo().launcherVersion, "");
}

}  // namespace
}  // namespace vk
