#include "engine/release_documents_portable.h"

#include <algorithm>
#include <stdexcept>

#include "engine/release_path_portable.h"
#include "infra/json_reader_portable.h"
#include "infra/language_portable.h"
#include "infra/sha256_portable.h"
#include "infra/utc_time_portable.h"

namespace vk {
namespace {

// --- writing ---

std::string Member(const char* name, const std::string& rawValue) {
    return QuoteJson(name) + ": " + rawValue;
}

std::string Text(const char* name, const std::string& text) {
    return Member(name, QuoteJson(text));
}

std::string Number(const char* name, std::uint64_t value) {
    return Member(name, std::to_string(value));
}

// Members joined on one line: {"a": 1, "b": 2}.
std::string Inline(const std::vector<std::string>& members) {
    std::string text = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        text += (i == 0 ? "" : ", ") + members[i];
    }
    return text + "}";
}

// Members one per line, indented by two blanks per level.
std::string Block(const std::vector<std::string>& members, const std::string& indent) {
    std::string text = "{\n";
    for (std::size_t i = 0; i < members.size(); ++i) {
        text += indent + "  " + members[i] + (i + 1 < members.size() ? ",\n" : "\n");
    }
    return text + indent + "}";
}

std::string Strings(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : ", ") + QuoteJson(items[i]);
    }
    return text + "]";
}

std::string FileLine(const ReleaseFile& file) {
    std::vector<std::string> members = {Text("path", file.path), Number("size", file.size),
                                        Text("sha256", file.sha256)};
    if (!file.group.empty()) members.push_back(Text("group", file.group));
    if (file.chunks) {
        members.push_back(
            Member("chunks", Inline({Text("sha256", file.chunks->sha256), Number("size", file.chunks->size)})));
    }
    return Inline(members);
}

std::string FileArray(const std::vector<ReleaseFile>& files) {
    std::vector<const ReleaseFile*> sorted;
    for (const ReleaseFile& file : files) sorted.push_back(&file);
    std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return a->path < b->path; });
    if (sorted.empty()) return "[]";
    std::string text = "[\n";
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        text += "    " + FileLine(*sorted[i]) + (i + 1 < sorted.size() ? ",\n" : "\n");
    }
    return text + "  ]";
}

// --- reading ---

// Where a reader's findings go: see the header.
class Findings {
public:
    explicit Findings(std::vector<std::string>* problems) : problems_(problems) {}

    bool listing() const { return problems_ != nullptr; }

    // The launcher refuses the release with `playerMessage`.
    void Refuse(const std::string& playerMessage, const std::string& line) const {
        if (problems_ == nullptr) throw std::runtime_error(playerMessage);
        problems_->push_back(line);
    }

    // The launcher reads on without the entry, or with a default in its place.
    void PassOver(const std::string& line) const {
        if (problems_ != nullptr) problems_->push_back(line);
    }

private:
    std::vector<std::string>* problems_;
};

std::string ManifestMismatch() {
    return Localized("This release does not match the updater. Please download the new updater.",
                     "版本信息与本启动器不匹配，请下载新版启动器。");
}

std::string ListMismatch() {
    return Localized("Release file list does not match the release info.", "版本文件列表与版本信息不一致。");
}

std::string ListMalformed(const std::string& path) {
    return Localized("Release file list is malformed: ", "版本文件列表格式错误：") + path;
}

void CheckHeader(const JsonValue& root, const char* document, const std::string& refusal, const Findings& findings) {
    if (UIntField(root, "schema") != 1) findings.Refuse(refusal, std::string(document) + ": \"schema\" is not 1");
    if (StringField(root, "platform") != "windows") {
        findings.Refuse(refusal, std::string(document) + ": \"platform\" is not \"windows\"");
    }
}

std::string IgnoredEntry(const char* name) {
    return std::string("manifest: \"") + name + "\" is ignored by the launcher: ";
}

// A blob named by an object {"sha256": ..., "size": ...}; none, with the reason in whyNot, when the
// value names no usable one.
std::optional<BlobRef> BlobOf(const JsonValue& value, std::string& whyNot) {
    if (value.type != JsonType::Object) {
        whyNot = "not an object";
        return std::nullopt;
    }
    try {
        BlobRef blob{StringField(value, "sha256"), UIntField(value, "size")};
        if (IsSha256Hex(blob.sha256) && blob.size > 0) return blob;
        whyNot = "needs a lower-case SHA-256 and a size above 0";
    } catch (const std::runtime_error& error) {
        whyNot = error.what();
    }
    return std::nullopt;
}

// An optional blob entry of the manifest; the launcher silently ignores one it cannot use.
std::optional<BlobRef> ReadOfferedBlob(const JsonValue& root, const char* name, const Findings& findings) {
    const JsonValue* value = FindField(root, name);
    if (value == nullptr) return std::nullopt;
    std::string whyNot;
    std::optional<BlobRef> blob = BlobOf(*value, whyNot);
    if (!blob) findings.PassOver(IgnoredEntry(name) + whyNot);
    return blob;
}

std::vector<std::string> ReadArguments(const JsonValue& args, const Findings& findings) {
    // Arguments are taken as they are: an item that is not a string becomes an empty argument.
    std::vector<std::string> list;
    if (args.type != JsonType::Array) findings.PassOver("release list: \"launch\".\"args\" is not an array");
    for (const JsonValue& item : args.items) {
        if (item.type != JsonType::String) findings.PassOver("release list: a launch argument is not a string");
        list.push_back(item.text);
    }
    return list;
}

std::string EntryWhere(std::size_t index) { return "release list: file entry " + std::to_string(index) + ": "; }

// The members of an entry that are read: the first of each name; `present` is false for a missing one.
struct EntryMember {
    bool present = false;
    JsonValue value;

    const JsonValue* get() const { return present ? &value : nullptr; }
};

struct EntryMembers {
    EntryMember path, size, sha256, group, chunks;

    EntryMember* Find(std::string_view name) {
        EntryMember* member = name == "path"     ? &path
                              : name == "size"   ? &size
                              : name == "sha256" ? &sha256
                              : name == "group"  ? &group
                              : name == "chunks" ? &chunks
                                                 : nullptr;
        return member != nullptr && !member->present ? member : nullptr;
    }
};

std::string TakeString(EntryMember& member, const char* name) {
    StringOf(member.get(), name);
    return std::move(member.value.text);
}

// The entry's record; `groupIgnored` tells of a group that is not text, which reads as the base game,
// and `chunksIgnored` why a chunk index named is unusable, which reads as none.
ReleaseFile ReadEntry(EntryMembers& members, bool& groupIgnored, std::string& chunksIgnored) {
    ReleaseFile file;
    file.path = TakeString(members.path, "path");
    file.size = UIntOf(members.size.get(), "size");
    file.sha256 = TakeString(members.sha256, "sha256");
    groupIgnored = members.group.present && members.group.value.type != JsonType::String;
    if (members.group.present && !groupIgnored) file.group = std::move(members.group.value.text);
    if (members.chunks.present) file.chunks = BlobOf(members.chunks.value, chunksIgnored);
    return file;
}

// One entry of "files": its record, or what made it unreadable.
void ReadEntry(JsonReader& reader, ReleaseListDocument& document) {
    const std::size_t index = document.entries++;
    EntryMembers members;
    if (reader.Next() == JsonType::Object) {
        reader.ReadObject([&](std::string_view name) {
            EntryMember* member = members.Find(name);
            if (member == nullptr) return reader.Skip();
            member->value = ReadJsonValue(reader);
            member->present = true;
        });
    } else {
        reader.Skip();  // an item that is not an object has no members
    }
    bool groupIgnored = false;
    std::string chunksIgnored;
    try {
        document.files.push_back(ReadEntry(members, groupIgnored, chunksIgnored));
    } catch (const std::runtime_error& error) {
        document.notes.push_back({index, error.what(), false, {}});
        return;
    }
    if (groupIgnored || !chunksIgnored.empty()) document.notes.push_back({index, "", groupIgnored, chunksIgnored});
}

// Messages are made only for an entry with a problem: a list may hold a hundred thousand good ones.
void CheckEntry(const ReleaseFile& file, ReleasePathSet& seen, const Findings& findings) {
    const auto where = [&] { return "release list: " + file.path + ": "; };
    try {
        CheckReleasePath(file.path);
    } catch (const std::runtime_error& error) {
        findings.Refuse(error.what(), where() + "the launcher refuses this path");
    }
    // The digest names the blob in the download store, so anything but hexadecimal digits could
    // reach outside it. Upper-case digits pass the launcher's reading but never match a computed
    // digest.
    if (!IsHexDigest(file.sha256)) {
        findings.Refuse(ListMalformed(file.path), where() + "\"sha256\" is not 64 lower-case hex digits");
    } else if (!IsSha256Hex(file.sha256)) {
        findings.PassOver(where() + "\"sha256\" is not 64 lower-case hex digits");
    }
    if (!seen.Insert(file.path).second) {
        findings.Refuse(ListMalformed(file.path), where() + "listed twice (letter case ignored)");
    }
}

// The entries' findings in entry order, as if each entry were judged when it is read.
std::vector<ReleaseFile> ReadFiles(ReleaseListDocument& document, const Findings& findings) {
    // Read as no files at all, such a list would have an update delete the whole recorded game.
    if (RequireField(document.members, "files").type != JsonType::Array) {
        throw std::runtime_error(findings.listing() ? "release list: \"files\" is not an array"
                                                    : ListMalformed("files"));
    }
    // The records no longer move, so `seen` may hold views of their paths.
    ReleasePathSet seen;
    seen.Reserve(document.files.size());
    auto note = document.notes.begin();
    std::size_t next = 0;
    for (std::size_t i = 0; i < document.entries; ++i) {
        if (note != document.notes.end() && note->entry == i) {
            const EntryNote& noted = *note++;
            if (!noted.unreadable.empty()) {
                findings.Refuse(noted.unreadable, EntryWhere(i) + noted.unreadable);
                continue;
            }
            if (noted.groupIgnored) findings.PassOver(EntryWhere(i) + "\"group\" is not a string");
            if (!noted.chunksIgnored.empty()) {
                findings.PassOver(EntryWhere(i) + "\"chunks\" is ignored by the launcher: " + noted.chunksIgnored);
            }
        }
        CheckEntry(document.files[next++], seen, findings);
    }
    return std::move(document.files);
}

// The members of the file list that its readers look at.
bool IsListMember(std::string_view name) {
    for (const char* read : {"schema", "platform", "build_id", "project_version", "launch", "files", "published"}) {
        if (name == read) return true;
    }
    return false;
}

}  // namespace

std::string ReleaseListJson(const ReleaseList& list) {
    const std::string launch = Block({Text("path", list.launchPath), Member("args", Strings(list.launchArgs))}, "  ");
    std::vector<std::string> members = {Number("schema", 1), Text("platform", "windows"),
                                        Text("build_id", list.buildId), Text("project_version", list.projectVersion)};
    if (!list.published.empty()) members.push_back(Text("published", list.published));
    members.push_back(Member("launch", launch));
    members.push_back(Member("files", FileArray(list.files)));
    return Block(members, "") + "\n";
}

std::string ManifestJson(const ChannelManifest& manifest) {
    std::vector<std::string> members = {
        Number("schema", 1),
        Text("platform", "windows"),
        Text("channel", manifest.channel),
        Text("release", manifest.release),
        Number("release_size", manifest.releaseBlob.size),
        Text("release_sha256", manifest.releaseBlob.sha256),
        Text("build_id", manifest.buildId),
        Text("min_launcher_version", manifest.minLauncherVersion),
    };
    if (manifest.sequence) members.push_back(Number("sequence", *manifest.sequence));
    if (!manifest.published.empty()) members.push_back(Text("published", manifest.published));
    if (!manifest.expires.empty()) members.push_back(Text("expires", manifest.expires));
    if (manifest.launcher) {
        const LauncherOffer& offer = *manifest.launcher;
        members.push_back(Member("launcher", Inline({Text("version", offer.version), Text("sha256", offer.blob.sha256),
                                                     Number("size", offer.blob.size)})));
    }
    if (manifest.banner) {
        members.push_back(
            Member("banner", Inline({Text("sha256", manifest.banner->sha256), Number("size", manifest.banner->size)})));
    }
    return Block(members, "") + "\n";
}

ChannelManifest ReadManifest(const JsonValue& root, const std::string& channel, std::vector<std::string>* problems) {
    const Findings findings(problems);
    CheckHeader(root, "manifest", ManifestMismatch(), findings);
    ChannelManifest manifest;
    manifest.channel = StringField(root, "channel");
    if (!channel.empty() && manifest.channel != channel) {
        findings.Refuse(ManifestMismatch(), "manifest: \"channel\" is not " + channel);
    }
    manifest.release = StringField(root, "release");
    manifest.releaseBlob.size = UIntField(root, "release_size");
    manifest.releaseBlob.sha256 = StringField(root, "release_sha256");
    manifest.buildId = StringField(root, "build_id");
    manifest.minLauncherVersion = StringField(root, "min_launcher_version");
    if (FindField(root, "sequence") != nullptr) manifest.sequence = UIntField(root, "sequence");
    if (FindField(root, "published") != nullptr) manifest.published = StringField(root, "published");
    if (FindField(root, "expires") != nullptr) {
        manifest.expires = StringField(root, "expires");
        // A time the launcher cannot read would otherwise make a manifest that never expires.
        if (!ParseUtcTime(manifest.expires)) {
            findings.Refuse(ManifestMismatch(), "manifest: \"expires\" is not a UTC time such as 2026-12-10T11:46:17Z");
        }
    }
    manifest.launcher = ReadLauncherOffer(root, problems);
    manifest.banner = ReadBannerOffer(root, problems);
    return manifest;
}

std::optional<LauncherOffer> ReadLauncherOffer(const JsonValue& root, std::vector<std::string>* problems) {
    const Findings findings(problems);
    const std::optional<BlobRef> blob = ReadOfferedBlob(root, "launcher", findings);
    if (!blob) return std::nullopt;
    try {
        return LauncherOffer{StringField(*FindField(root, "launcher"), "version"), *blob};
    } catch (const std::runtime_error& error) {
        findings.PassOver(IgnoredEntry("launcher") + error.what());
        return std::nullopt;
    }
}

std::optional<BlobRef> ReadBannerOffer(const JsonValue& root, std::vector<std::string>* problems) {
    return ReadOfferedBlob(root, "banner", Findings(problems));
}

bool ListMatchesManifest(const ChannelManifest& manifest, const std::string& listBytes) {
    return manifest.releaseBlob.size == listBytes.size() && manifest.releaseBlob.sha256 == Sha256Hex(listBytes);
}

void CheckListTarget(const ReleaseListDocument& list, const ChannelManifest& manifest,
                     std::vector<std::string>* problems) {
    const Findings findings(problems);
    CheckHeader(list.members, "release list", ListMismatch(), findings);
    if (StringField(list.members, "build_id") != manifest.buildId) {
        findings.Refuse(ListMismatch(), "release list: build id differs from the manifest");
    }
}

ReleaseListDocument ParseReleaseList(const std::string& text) {
    JsonReader reader(text);
    ReleaseListDocument document;
    // An entry that makes a record is an object of at least 32 bytes, so the objects of the text, at
    // most one per 32 bytes, bound the records: reserved at once, the records are never moved to grow.
    document.files.reserve(std::min<std::size_t>(std::count(text.begin(), text.end(), '{'), text.size() / 32));
    document.members.type = JsonType::Object;
    auto& members = document.members.members;
    const auto readMember = [&](std::string_view name) {
        if (!IsListMember(name) || FindField(document.members, std::string(name).c_str()) != nullptr) {
            return reader.Skip();
        }
        if (name == "files" && reader.Next() == JsonType::Array) {
            JsonValue files;
            files.type = JsonType::Array;  // its entries go to document.files
            members.emplace_back(std::string(name), std::move(files));
            return reader.ReadArray([&] { ReadEntry(reader, document); });
        }
        members.emplace_back(std::string(name), ReadJsonValue(reader));
    };
    // Anything but an object has no members.
    if (reader.Next() == JsonType::Object) {
        reader.ReadObject(readMember);
    } else {
        reader.Skip();
    }
    reader.End();
    return document;
}

ReleaseList ReadReleaseList(ReleaseListDocument&& document, std::vector<std::string>* problems) {
    const Findings findings(problems);
    const JsonValue& root = document.members;
    ReleaseList list;
    list.buildId = StringField(root, "build_id");
    list.projectVersion = StringField(root, "project_version");
    const JsonValue& launch = RequireField(root, "launch");
    list.launchPath = StringField(launch, "path");
    try {
        CheckReleasePath(list.launchPath);
    } catch (const std::runtime_error& error) {
        findings.Refuse(error.what(), "release list: the launcher refuses the launch path " + list.launchPath);
    }
    list.launchArgs = ReadArguments(RequireField(launch, "args"), findings);
    list.files = ReadFiles(document, findings);
    // Only a date: a list without a readable one is listed as undated, never refused.
    const JsonValue* published = FindField(root, "published");
    if (published != nullptr && published->type == JsonType::String && ParseUtcTime(published->text)) {
        list.published = published->text;
    }
    return list;
}

ChannelManifest ReadManifest(const std::string& text, std::vector<std::string>& problems) {
    return ReadManifest(ParseJson(text), "", &problems);
}

ReleaseList ReadReleaseList(const std::string& text, std::vector<std::string>& problems) {
    ReleaseListDocument document = ParseReleaseList(text);
    CheckHeader(document.members, "release list", ListMismatch(), Findings(&problems));
    return ReadReleaseList(std::move(document), &problems);
}

}  // namespace vk
