// The diff as the publisher and scripts read it.
#include "diff_report.h"

#include <gtest/gtest.h>

#include "infra/json_portable.h"

namespace vk::publish {
namespace {

StoredRelease Release(const std::string& build, const std::vector<ReleaseFile>& files) {
    StoredRelease release;
    release.path = "releases/" + build + ".json";
    release.list.buildId = build;
    release.list.projectVersion = build == "b1" ? "1.0.0" : "1.1.0";
    release.list.files = files;
    return release;
}

const std::string kA(64, 'a');
const std::string kB(64, 'b');
const std::string kC(64, 'c');
const std::string kD(64, 'd');
const std::string kE(64, 'e');

class DiffReportTest : public ::testing::Test {
protected:
    const StoredRelease from = Release("b1", {{"Velkar.exe", 10, kA, "", {}},
                                              {"Paks/old.bin", 2048, kB, "", {}},
                                              {"Island/map.pak", 3 << 20, kC, "island", {}},
                                              {"gone.txt", 5, kA, "", {}}});
    const StoredRelease to = Release("b2", {{"Velkar.exe", 12, kE, "", {}},
                                            {"Paks/new/old.bin", 2048, kB, "", {}},
                                            {"Island/map.pak", 3 << 20, kC, "", {}},
                                            {"Island/extra.pak", 1, kD, "island", {}}});
    const ReleaseDiff diff = DiffReleases(from.list, to.list);
};

TEST_F(DiffReportTest, TextListsEveryFileThenTheGroups) {
    EXPECT_EQ(DiffText(from, to, diff),
              "From build b1 (version 1.0.0, releases/b1.json) to build b2 (version 1.1.0, releases/b2.json):\n"
              "added    Island/extra.pak (1 B, island)\n"
              "changed  Island/map.pak (3.00 MiB; was 3.00 MiB, island)\n"
              "moved    Paks/old.bin -> Paks/new/old.bin (2.00 KiB)\n"
              "changed  Velkar.exe (12 B; was 10 B)\n"
              "removed  gone.txt (5 B)\n"
              "\n"
              "group       added  removed  changed  moved  unchanged  blobs  whole-file download\n"
              "base game       0        1        2      1          0      3             3.00 MiB\n"
              "island          1        0        0      0          0      1                  1 B\n"
              "all groups      1        1        2      1          0      3             2.01 KiB\n");
    EXPECT_NE(DiffText(from, from, DiffReleases(from.list, from.list)).find(":\nNo file changes.\n\ngroup"),
              std::string::npos);
}

TEST_F(DiffReportTest, JsonCarriesTheFactsOfTheText) {
    const JsonValue json = ParseJson(DiffJson(from, to, diff));
    EXPECT_EQ(StringField(RequireField(json, "from"), "release"), "releases/b1.json");
    EXPECT_EQ(StringField(RequireField(json, "to"), "build_id"), "b2");
    EXPECT_EQ(StringField(RequireField(json, "to"), "version"), "1.1.0");
    const JsonValue& files = RequireField(json, "files");
    ASSERT_EQ(files.items.size(), 5u);
    EXPECT_EQ(StringField(files.items[0], "change"), "added");
    EXPECT_EQ(StringField(files.items[0], "group"), "island");
    EXPECT_EQ(StringField(files.items[1], "from_group"), "island");
    EXPECT_EQ(UIntField(files.items[1], "from_size"), 3u << 20);
    EXPECT_EQ(StringField(files.items[2], "from_path"), "Paks/old.bin");
    EXPECT_EQ(StringField(files.items[2], "path"), "Paks/new/old.bin");
    EXPECT_EQ(StringField(files.items[4], "change"), "removed");
    const JsonValue& groups = RequireField(json, "groups");
    ASSERT_EQ(groups.items.size(), 2u);
    EXPECT_EQ(StringField(groups.items[0], "group"), "");
    EXPECT_EQ(UIntField(groups.items[0], "changed"), 2u);
    EXPECT_EQ(UIntField(RequireField(groups.items[0], "download"), "whole_file_bytes"), (3u << 20) + 2048 + 12);
    EXPECT_EQ(UIntField(RequireField(groups.items[1], "download"), "blobs"), 1u);
    const JsonValue& all = RequireField(json, "all_groups");
    EXPECT_EQ(UIntField(all, "moved"), 1u);
    EXPECT_EQ(UIntField(RequireField(all, "download"), "whole_file_bytes"), 12u + 2048 + 1);
}

}  // namespace
}  // namespace vk::publish
