#include "diff_report.h"

#include "json_writer.h"
#include "progress.h"
#include "text_table.h"

namespace vk::publish {
namespace {

const char* KindName(FileChange::Kind kind) {
    switch (kind) {
        case FileChange::Kind::Added: return "added";
        case FileChange::Kind::Removed: return "removed";
        case FileChange::Kind::Changed: return "changed";
        case FileChange::Kind::Moved: return "moved";
    }
    return "";
}

std::string GroupName(const std::string& group) { return group.empty() ? "base game" : group; }

// "20.00 KiB" or, outside the base game, "20.00 KiB, island".
std::string SizeAndGroup(std::uint64_t size, const std::string& group) {
    return FormatBytes(size) + (group.empty() ? "" : ", " + group);
}

std::string FileLine(const FileChange& change) {
    std::string line = KindName(change.kind);
    line.resize(9, ' ');
    switch (change.kind) {
        case FileChange::Kind::Moved:
            return line + change.oldPath + " -> " + change.path + " (" + SizeAndGroup(change.size, change.group) + ")";
        case FileChange::Kind::Changed: {
            // The old group is named when the file changed group, also when that was the base game.
            std::string was = FormatBytes(change.oldSize);
            if (change.oldGroup != change.group) was += ", " + GroupName(change.oldGroup);
            return line + change.path + " (" + SizeAndGroup(change.size, change.group) + "; was " + was + ")";
        }
        default: return line + change.path + " (" + SizeAndGroup(change.size, change.group) + ")";
    }
}

void AddRow(TextTable& table, const std::string& name, const GroupChanges& row) {
    table.AddRow({name, std::to_string(row.added), std::to_string(row.removed), std::to_string(row.changed),
                  std::to_string(row.moved), std::to_string(row.unchanged), std::to_string(row.download.blobs),
                  FormatBytes(row.download.wholeFileBytes)});
}

// The base game's row is what every player downloads; a group's, what its players download on top.
std::string GroupTable(const ReleaseDiff& diff) {
    TextTable table({{"group"},
                     {"added", true},
                     {"removed", true},
                     {"changed", true},
                     {"moved", true},
                     {"unchanged", true},
                     {"blobs", true},
                     {"whole-file download", true}});
    for (const GroupChanges& row : diff.groups) AddRow(table, GroupName(row.group), row);
    AddRow(table, "all groups", diff.allGroups);
    return table.Text();
}

std::string Describe(const StoredRelease& release) {
    return "build " + release.list.buildId + " (version " + release.list.projectVersion + ", " + release.path + ")";
}

void WriteRelease(JsonWriter& json, const StoredRelease& release) {
    json.BeginObject();
    json.Key("release").String(release.path);
    json.Key("build_id").String(release.list.buildId);
    json.Key("version").String(release.list.projectVersion);
    json.EndObject();
}

void WriteCounts(JsonWriter& json, const GroupChanges& row) {
    json.Key("added").Number(row.added);
    json.Key("removed").Number(row.removed);
    json.Key("changed").Number(row.changed);
    json.Key("moved").Number(row.moved);
    json.Key("unchanged").Number(row.unchanged);
    json.Key("download").BeginObject();
    json.Key("blobs").Number(row.download.blobs);
    json.Key("whole_file_bytes").Number(row.download.wholeFileBytes);
    json.EndObject();
}

void WriteFile(JsonWriter& json, const FileChange& change) {
    json.BeginObject();
    json.Key("change").String(KindName(change.kind));
    json.Key("path").String(change.path);
    json.Key("group").String(change.group);
    json.Key("size").Number(change.size);
    if (change.kind == FileChange::Kind::Moved) json.Key("from_path").String(change.oldPath);
    if (change.kind == FileChange::Kind::Changed) {
        json.Key("from_group").String(change.oldGroup);
        json.Key("from_size").Number(change.oldSize);
    }
    json.EndObject();
}

}  // namespace

std::string DiffText(const StoredRelease& from, const StoredRelease& to, const ReleaseDiff& diff) {
    std::string text = "From " + Describe(from) + " to " + Describe(to) + ":\n";
    for (const FileChange& change : diff.files) text += FileLine(change) + "\n";
    if (diff.files.empty()) text += "No file changes.\n";
    return text + "\n" + GroupTable(diff);
}

std::string DiffJson(const StoredRelease& from, const StoredRelease& to, const ReleaseDiff& diff) {
    JsonWriter json;
    json.BeginObject();
    json.Key("from");
    WriteRelease(json, from);
    json.Key("to");
    WriteRelease(json, to);
    json.Key("files").BeginArray();
    for (const FileChange& change : diff.files) WriteFile(json, change);
    json.EndArray();
    json.Key("groups").BeginArray();
    for (const GroupChanges& row : diff.groups) {
        json.BeginObject();
        json.Key("group").String(row.group);
        WriteCounts(json, row);
        json.EndObject();
    }
    json.EndArray();
    json.Key("all_groups").BeginObject();
    WriteCounts(json, diff.allGroups);
    json.EndObject();
    json.EndObject();
    return json.Text();
}

std::string ChannelChangeText(const Store& store, const std::string& channel,
                              const std::optional<std::string>& previousRelease, const ReleaseList& next) {
    if (!previousRelease) {
        return "Channel " + channel + " named no release before; its players download:\n" +
               GroupTable(DiffReleases({}, next));
    }
    try {
        const StoredRelease previous = ReadStoredRelease(store, *previousRelease);
        return "Players of channel " + channel + " on build " + previous.list.buildId + " (" + previous.path +
               ") download:\n" + GroupTable(DiffReleases(previous.list, next));
    } catch (const std::exception& error) {
        return "No comparison with the release channel " + channel + " named before: " + error.what() + "\n";
    }
}

}  // namespace vk::publish
