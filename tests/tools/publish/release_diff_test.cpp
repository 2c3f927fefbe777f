// What a release changes, on small releases whose figures can be worked out by hand.
#include "release_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace vk::publish {
namespace {

// A file whose content is told by one letter: the same letter, the same blob.
struct Entry {
    std::string path;
    std::uint64_t size;
    char content;
    std::string group;
};

ReleaseList List(const std::vector<Entry>& entries) {
    ReleaseList list;
    for (const Entry& entry : entries) {
        list.files.push_back({entry.path, entry.size, std::string(64, entry.content), entry.group, {}});
    }
    return list;
}

// The release every case starts from.
const std::vector<Entry> kOld = {
    {"Velkar.exe", 10, 'a', ""},
    {"Paks/base.pak", 100, 'b', ""},
    {"Paks/old.bin", 20, 'c', ""},
    {"Island/map.pak", 50, 'd', "island"},
};

std::vector<Entry> OldWith(const std::vector<Entry>& replaced, const std::vector<std::string>& removed = {}) {
    std::vector<Entry> entries;
    for (const Entry& entry : kOld) {
        if (std::find(removed.begin(), removed.end(), entry.path) != removed.end()) continue;
        bool isReplaced = false;
        for (const Entry& other : replaced) isReplaced = isReplaced || other.path == entry.path;
        if (!isReplaced) entries.push_back(entry);
    }
    entries.insert(entries.end(), replaced.begin(), replaced.end());
    return entries;
}

// A row of the table: the group, its file counts, and the blobs and bytes a player downloads.
struct Row {
    std::string group;
    std::uint64_t added, removed, changed, moved, unchanged, blobs, bytes;
};

Row RowOf(const GroupChanges& changes) {
    return {changes.group, changes.added,     changes.removed,        changes.changed,
            changes.moved, changes.unchanged, changes.download.blobs, changes.download.wholeFileBytes};
}

bool operator==(const Row& a, const Row& b) {
    return a.group == b.group && a.added == b.added && a.removed == b.removed && a.changed == b.changed &&
           a.moved == b.moved && a.unchanged == b.unchanged && a.blobs == b.blobs && a.bytes == b.bytes;
}

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.group << ": +" << row.added << " -" << row.removed << " ~" << row.changed << " >"
               << row.moved << " =" << row.unchanged << ", " << row.blobs << " blobs, " << row.bytes << " B}";
}

std::string Line(const FileChange& change) {
    switch (change.kind) {
        case FileChange::Kind::Added: return "added " + change.path;
        case FileChange::Kind::Removed: return "removed " + change.path;
        case FileChange::Kind::Changed: return "changed " + change.path;
        case FileChange::Kind::Moved: return "moved " + change.oldPath + " -> " + change.path;
    }
    return {};
}

struct Case {
    const char* label;
    std::vector<Entry> to;
    std::vector<std::string> files;
    std::vector<Row> groups;  // the base game first
    Row all;
};

TEST(ReleaseDiffTest, FilesAndDownloadsByGroup) {
    const Case cases[] = {
        {"the same release",
         kOld,
         {},
         {{"", 0, 0, 0, 0, 3, 0, 0}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 0, 0, 0, 0, 4, 0, 0}},
        {"a file added",
         OldWith({{"Paks/new.pak", 5, 'n', ""}}),
         {"added Paks/new.pak"},
         {{"", 1, 0, 0, 0, 3, 1, 5}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 1, 0, 0, 0, 4, 1, 5}},
        {"a file removed",
         OldWith({}, {"Paks/old.bin"}),
         {"removed Paks/old.bin"},
         {{"", 0, 1, 0, 0, 2, 0, 0}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 0, 1, 0, 0, 3, 0, 0}},
        {"a file changed",
         OldWith({{"Paks/base.pak", 120, 'B', ""}}),
         {"changed Paks/base.pak"},
         {{"", 0, 0, 1, 0, 2, 1, 120}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 0, 0, 1, 0, 3, 1, 120}},
        // The launcher looks for a file at its own path only, so a moved file is fetched again.
        {"a file moved",
         OldWith({{"Paks/New/old.bin", 20, 'c', ""}}, {"Paks/old.bin"}),
         {"moved Paks/old.bin -> Paks/New/old.bin"},
         {{"", 0, 0, 0, 1, 2, 1, 20}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 0, 0, 0, 1, 3, 1, 20}},
        {"a move and a copy of one file",
         OldWith({{"Paks/a/old.bin", 20, 'c', ""}, {"Paks/b/old.bin", 20, 'c', ""}}, {"Paks/old.bin"}),
         {"moved Paks/old.bin -> Paks/a/old.bin", "added Paks/b/old.bin"},
         {{"", 1, 0, 0, 1, 2, 1, 20}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 1, 0, 0, 1, 3, 1, 20}},
        // Two new files of one content are one blob; a new copy of an unchanged file is fetched too.
        {"shared blobs",
         OldWith({{"Paks/x.pak", 7, 'x', ""}, {"Paks/y.pak", 7, 'x', ""}, {"copy.exe", 10, 'a', ""}}),
         {"added Paks/x.pak", "added Paks/y.pak", "added copy.exe"},
         {{"", 3, 0, 0, 0, 3, 2, 17}, {"island", 0, 0, 0, 0, 1, 0, 0}},
         {"", 3, 0, 0, 0, 4, 2, 17}},
        {"a group's file changed",
         OldWith({{"Island/map.pak", 60, 'D', "island"}}),
         {"changed Island/map.pak"},
         {{"", 0, 0, 0, 0, 3, 0, 0}, {"island", 0, 0, 1, 0, 0, 1, 60}},
         {"", 0, 0, 1, 0, 3, 1, 60}},
        // Players without the group never had the file; those with it keep it.
        {"a group's file moved to the base game",
         OldWith({{"Island/map.pak", 50, 'd', ""}}),
         {"changed Island/map.pak"},
         {{"", 0, 0, 1, 0, 3, 1, 50}, {"island", 0, 0, 0, 0, 0, 0, 0}},
         {"", 0, 0, 1, 0, 3, 0, 0}},
        // A blob the base game needs is counted there only; a group only the new release has.
        {"groups sharing a blob with the base game",
         OldWith({{"Paks/n.pak", 5, 'n', ""}, {"Island/n.pak", 5, 'n', "island"}, {"Music/m.ogg", 9, 'm', "music"}}),
         {"added Island/n.pak", "added Music/m.ogg", "added Paks/n.pak"},
         {{"", 1, 0, 0, 0, 3, 1, 5}, {"island", 1, 0, 0, 0, 1, 0, 0}, {"music", 1, 0, 0, 0, 0, 1, 9}},
         {"", 3, 0, 0, 0, 4, 2, 14}},
        {"a group only the old release has",
         OldWith({}, {"Island/map.pak"}),
         {"removed Island/map.pak"},
         {{"", 0, 0, 0, 0, 3, 0, 0}, {"island", 0, 1, 0, 0, 0, 0, 0}},
         {"", 0, 1, 0, 0, 3, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ReleaseDiff diff = DiffReleases(List(kOld), List(c.to));
        std::vector<std::string> files;
        for (const FileChange& change : diff.files) files.push_back(Line(change));
        EXPECT_EQ(files, c.files);
        std::vector<Row> groups;
        for (const GroupChanges& changes : diff.groups) groups.push_back(RowOf(changes));
        EXPECT_EQ(groups, c.groups);
        EXPECT_EQ(RowOf(diff.allGroups), c.all);
    }
}

TEST(ReleaseDiffTest, AFirstReleaseIsAllNew) {
    const ReleaseDiff diff = DiffReleases({}, List(kOld));
    EXPECT_EQ(diff.files.size(), 4u);
    EXPECT_EQ(RowOf(diff.allGroups), (Row{"", 4, 0, 0, 0, 0, 4, 180}));
    EXPECT_EQ(RowOf(diff.groups.at(0)), (Row{"", 3, 0, 0, 0, 0, 3, 130}));
    EXPECT_EQ(RowOf(diff.groups.at(1)), (Row{"island", 1, 0, 0, 0, 0, 1, 50}));
}

TEST(ReleaseDiffTest, AChangedFileKeepsBothSizesAndGroups) {
    const ReleaseDiff diff = DiffReleases(List(kOld), List(OldWith({{"Island/map.pak", 70, 'D', ""}})));
    ASSERT_EQ(diff.files.size(), 1u);
    const FileChange& change = diff.files[0];
    EXPECT_EQ(change.size, 70u);
    EXPECT_EQ(change.oldSize, 50u);
    EXPECT_EQ(change.group, "");
    EXPECT_EQ(change.oldGroup, "island");
}

}  // namespace
}  // namespace vk::publish
