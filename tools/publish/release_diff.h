#pragma once
// What moving a channel's players from one release to another changes: the files added, removed,
// changed and moved, and what a player downloads, by content group.
//
// The download is the launcher's: a file installed at the same path with the same digest stays,
// every other file of the new release is fetched as its blob, once per digest. A moved file is
// fetched again, since the launcher looks for a file only at its own path.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/release_documents_portable.h"

namespace vk::publish {

struct FileChange {
    enum class Kind { Added, Removed, Changed, Moved };
    Kind kind = Kind::Added;
    std::string path;        // in the new release; for a removed file, in the old one
    std::string group;       // likewise; empty: the base game
    std::uint64_t size = 0;  // likewise
    std::string oldPath;     // a moved file's path in the old release
    // A changed file's entry in the old release: other content, or only another group.
    std::string oldGroup;
    std::uint64_t oldSize = 0;
};

// What a player fetches. Once files carry chunk indexes, the bytes of a delta download join the
// whole-file figure here.
struct Download {
    std::uint64_t blobs = 0;
    std::uint64_t wholeFileBytes = 0;
};

struct GroupChanges {
    std::string group;  // empty: the base game
    std::uint64_t added = 0;
    std::uint64_t removed = 0;
    std::uint64_t changed = 0;
    std::uint64_t moved = 0;
    std::uint64_t unchanged = 0;
    // The base game's row: what every player downloads. A group's row: what a player who also has
    // that group downloads on top (a blob the base game needs too is counted there only).
    Download download;
};

struct ReleaseDiff {
    std::vector<FileChange> files;     // by path
    std::vector<GroupChanges> groups;  // the base game first, then the groups of either release by name
    GroupChanges allGroups;            // every file; the download of a player who has every group
};

ReleaseDiff DiffReleases(const ReleaseList& from, const ReleaseList& to);

}  // namespace vk::publish
