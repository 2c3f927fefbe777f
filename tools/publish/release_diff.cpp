#include "release_diff.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

namespace vk::publish {
namespace {

using FilesByPath = std::map<std::string, const ReleaseFile*>;
using GroupFilter = std::function<bool(const std::string& group)>;
using BlobSizes = std::map<std::string, std::uint64_t>;

FilesByPath ByPath(const ReleaseList& list) {
    FilesByPath files;
    for (const ReleaseFile& file : list.files) files.emplace(file.path, &file);
    return files;
}

// The blobs fetched for the files of `to` in the groups `fetched` by a player who has the files of
// `from` in the groups `installed`.
BlobSizes NeededBlobs(const FilesByPath& from, const FilesByPath& to, const GroupFilter& installed,
                      const GroupFilter& fetched) {
    BlobSizes blobs;
    for (const auto& [path, file] : to) {
        if (!fetched(file->group)) continue;
        const auto old = from.find(path);
        const bool kept = old != from.end() && installed(old->second->group) && old->second->sha256 == file->sha256;
        if (!kept) blobs.emplace(file->sha256, file->size);
    }
    return blobs;
}

Download Sum(const BlobSizes& blobs) {
    Download download;
    for (const auto& [sha256, size] : blobs) {
        ++download.blobs;
        download.wholeFileBytes += size;
    }
    return download;
}

FileChange ChangeOf(FileChange::Kind kind, const ReleaseFile& file) {
    FileChange change;
    change.kind = kind;
    change.path = file.path;
    change.group = file.group;
    change.size = file.size;
    return change;
}

// Added and removed files of the same content are moves, paired in path order.
std::vector<FileChange> PairMoves(const std::vector<const ReleaseFile*>& added,
                                  const std::vector<const ReleaseFile*>& removed) {
    std::map<std::string, std::deque<const ReleaseFile*>> removedByDigest;
    for (const ReleaseFile* file : removed) removedByDigest[file->sha256].push_back(file);
    std::vector<FileChange> changes;
    for (const ReleaseFile* file : added) {
        std::deque<const ReleaseFile*>& sources = removedByDigest[file->sha256];
        FileChange change = ChangeOf(FileChange::Kind::Added, *file);
        if (!sources.empty()) {
            change.kind = FileChange::Kind::Moved;
            change.oldPath = sources.front()->path;
            sources.pop_front();
        }
        changes.push_back(change);
    }
    for (const auto& [sha256, files] : removedByDigest) {
        for (const ReleaseFile* file : files) {
            changes.push_back(ChangeOf(FileChange::Kind::Removed, *file));
        }
    }
    return changes;
}

void Count(GroupChanges& row, FileChange::Kind kind) {
    switch (kind) {
        case FileChange::Kind::Added: ++row.added; break;
        case FileChange::Kind::Removed: ++row.removed; break;
        case FileChange::Kind::Changed: ++row.changed; break;
        case FileChange::Kind::Moved: ++row.moved; break;
    }
}

void AddUp(GroupChanges& total, const GroupChanges& row) {
    total.added += row.added;
    total.removed += row.removed;
    total.changed += row.changed;
    total.moved += row.moved;
    total.unchanged += row.unchanged;
}

}  // namespace

ReleaseDiff DiffReleases(const ReleaseList& from, const ReleaseList& to) {
    const FilesByPath before = ByPath(from);
    const FilesByPath after = ByPath(to);
    // Every group of either release has its row, also one without changes.
    std::map<std::string, GroupChanges> rows = {{"", {}}};
    for (const ReleaseList* list : {&from, &to}) {
        for (const ReleaseFile& file : list->files) rows[file.group];
    }
    ReleaseDiff diff;

    std::vector<const ReleaseFile*> added;
    std::vector<const ReleaseFile*> removed;
    for (const auto& [path, file] : after) {
        const auto old = before.find(path);
        if (old == before.end()) {
            added.push_back(file);
        } else if (old->second->sha256 == file->sha256 && old->second->group == file->group) {
            ++rows[file->group].unchanged;
        } else {
            FileChange change = ChangeOf(FileChange::Kind::Changed, *file);
            change.oldGroup = old->second->group;
            change.oldSize = old->second->size;
            diff.files.push_back(change);
        }
    }
    for (const auto& [path, file] : before) {
        if (!after.contains(path)) removed.push_back(file);
    }
    for (FileChange& change : PairMoves(added, removed)) diff.files.push_back(std::move(change));
    std::stable_sort(diff.files.begin(), diff.files.end(),
                     [](const FileChange& a, const FileChange& b) { return a.path < b.path; });
    for (const FileChange& change : diff.files) Count(rows[change.group], change.kind);

    const auto any = [](const std::string&) { return true; };
    const auto base = [](const std::string& group) { return group.empty(); };
    const BlobSizes baseBlobs = NeededBlobs(before, after, base, base);
    for (auto& [group, row] : rows) {
        row.group = group;
        if (group.empty()) {
            row.download = Sum(baseBlobs);
        } else {
            const auto withGroup = [&group](const std::string& other) { return other.empty() || other == group; };
            const auto inGroup = [&group](const std::string& other) { return other == group; };
            BlobSizes blobs = NeededBlobs(before, after, withGroup, inGroup);
            std::erase_if(blobs, [&baseBlobs](const auto& blob) { return baseBlobs.contains(blob.first); });
            row.download = Sum(blobs);
        }
        AddUp(diff.allGroups, row);
        diff.groups.push_back(row);
    }
    diff.allGroups.download = Sum(NeededBlobs(before, after, any, any));
    return diff;
}

}  // namespace vk::publish
