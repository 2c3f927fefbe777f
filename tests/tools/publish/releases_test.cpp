// The store's releases, newest first, as a publisher picks one to roll back to.
#include "releases.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "infra/json_portable.h"
#include "infra/sha256_portable.h"
#include "promote.h"
#include "release.h"
#include "releases_report.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// b1 on "live", then b2 on "internal", promoted to "live"; b3 on "beta" with its list elsewhere,
// published between them; and a list from before lists were dated.
class ReleasesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Publish("live", "b1", "2026-12-01T00:00:00Z", {{"Velkar.exe", "exe 1"}, {"a.pak", "shared"}});
        Publish("internal", "b2", "2026-12-03T00:00:00Z", {{"Velkar.exe", "exe 2"}, {"a.pak", "shared"}});
        Publish("beta", "b3", "2026-12-02T00:00:00Z", {{"Velkar.exe", "exe 3"}}, "lists/b3.json");
        PromoteRelease({store, test::Keys().privateKey, "internal", "live", "2026-12-04T00:00:00Z", std::nullopt, 0});
        std::string undated = ReadBytes(store / "releases/b1.json");
        undated.erase(undated.find("  \"published\": \"2026-12-01T00:00:00Z\",\n"), 39);
        undated.replace(undated.find("\"b1\""), 4, "\"b0\"");
        WriteBytes(store / "releases/b0.json", undated);
    }

    void Publish(const std::string& channel, const std::string& build, const std::string& published,
                 const std::vector<std::pair<std::string, std::string>>& files, const std::string& path = "") {
        test::PublishFiles(store, channel, build, files, [&](ReleaseOptions& options) {
            if (!path.empty()) options.releasePath = path;
            options.published = published;
        });
    }

    ReleasesReport List(const std::string& channel = "") const { return ListReleases({store, channel, false}); }

    TempDir work;
    const fs::path store = work / "store";
};

std::vector<std::string> Builds(const ReleasesReport& report) {
    std::vector<std::string> builds;
    for (const ReleaseEntry& entry : report.releases) builds.push_back(entry.release.list.buildId);
    return builds;
}

TEST_F(ReleasesTest, NewestFirstWithTheChannelsNamingEach) {
    const ReleasesReport report = List();
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_EQ(Builds(report), (std::vector<std::string>{"b2", "b3", "b1", "b0"}));
    EXPECT_EQ(report.releases[0].channels, (std::vector<std::string>{"internal", "live"}));
    EXPECT_EQ(report.releases[1].release.path, "lists/b3.json");
    EXPECT_EQ(report.releases[1].channels, std::vector<std::string>{"beta"});
    EXPECT_TRUE(report.releases[2].channels.empty());
    EXPECT_EQ(report.releases[3].release.list.published, "");
    EXPECT_EQ(ReleasesText(report),
              "build  version  published             files  size  blobs     channels        list\n"
              "b2     1.0.0    2026-12-03T00:00:00Z      2  11 B  complete  internal, live  releases/b2.json\n"
              "b3     1.0.0    2026-12-02T00:00:00Z      1   5 B  complete  beta            lists/b3.json\n"
              "b1     1.0.0    2026-12-01T00:00:00Z      2  11 B  complete  -               releases/b1.json\n"
              "b0     1.0.0    -                         2  11 B  complete  -               releases/b0.json\n");

    EXPECT_EQ(Builds(List("live")), std::vector<std::string>{"b2"});
    EXPECT_THROW(List("gamma"), std::runtime_error);
}

TEST_F(ReleasesTest, ReleasesMissingBlobsAndUnreadableListsAreShown) {
    fs::remove(store / ("blobs/" + Sha256Hex("exe 1")));
    WriteBytes(store / "releases/broken.json", "{");
    const ReleasesReport report = List();
    EXPECT_EQ(Builds(report), (std::vector<std::string>{"b2", "b3", "b1", "b0"}));
    EXPECT_EQ(report.releases[2].missingBlobs, 1u);
    EXPECT_EQ(report.releases[0].missingBlobs, 0u);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("releases/broken.json cannot be used as it is"), std::string::npos)
        << report.problems[0];
    EXPECT_NE(ReleasesText(report).find("b1     1.0.0    2026-12-01T00:00:00Z      2  11 B  1 missing"),
              std::string::npos)
        << ReleasesText(report);
}

TEST_F(ReleasesTest, TheJsonCarriesTheFactsOfTheText) {
    fs::remove(store / ("blobs/" + Sha256Hex("exe 1")));
    const ReleasesReport report = List();
    const JsonValue json = ParseJson(ReleasesJson(report));
    const JsonValue& releases = RequireField(json, "releases");
    ASSERT_EQ(releases.items.size(), report.releases.size());
    for (std::size_t i = 0; i < releases.items.size(); ++i) {
        const JsonValue& item = releases.items[i];
        const ReleaseEntry& entry = report.releases[i];
        EXPECT_EQ(StringField(item, "release"), entry.release.path);
        EXPECT_EQ(StringField(item, "build_id"), entry.release.list.buildId);
        EXPECT_EQ(StringField(item, "version"), entry.release.list.projectVersion);
        EXPECT_EQ(UIntField(item, "files"), entry.release.list.files.size());
        EXPECT_EQ(UIntField(item, "size"), entry.bytes);
        EXPECT_EQ(UIntField(item, "missing_blobs"), entry.missingBlobs);
        std::vector<std::string> channels;
        for (const JsonValue& channel : RequireField(item, "channels").items) channels.push_back(channel.text);
        EXPECT_EQ(channels, entry.channels);
    }
    EXPECT_EQ(StringField(releases.items[0], "published"), "2026-12-03T00:00:00Z");
    EXPECT_EQ(RequireField(releases.items[3], "published").type, JsonType::Null);
    EXPECT_EQ(UIntField(releases.items[2], "missing_blobs"), 1u);
    EXPECT_TRUE(RequireField(json, "problems").items.empty());
}

}  // namespace
}  // namespace vk::publish
