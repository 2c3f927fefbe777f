#include "documents.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "engine/release_path.h"
#include "infra/json.h"

namespace vk::publish {
namespace {

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

std::string FileLine(const ReleaseEntry& file) {
    std::vector<std::string> members = {Text("path", file.path), Number("size", file.blob.size),
                                        Text("sha256", file.blob.sha256)};
    if (!file.group.empty()) members.push_back(Text("group", file.group));
    return Inline(members);
}

std::string FileArray(const std::vector<ReleaseEntry>& files) {
    std::vector<const ReleaseEntry*> sorted;
    for (const ReleaseEntry& file : files) sorted.push_back(&file);
    std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return a->path < b->path; });
    if (sorted.empty()) return "[]";
    std::string text = "[\n";
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        text += "    " + FileLine(*sorted[i]) + (i + 1 < sorted.size() ? ",\n" : "\n");
    }
    return text + "  ]";
}

// --- reading ---

BlobRef ReadBlobRef(const JsonValue& value) {
    return {StringField(value, "sha256"), UIntField(value, "size")};
}

void CheckCommonHeader(const JsonValue& root, const char* document, std::vector<std::string>& problems) {
    if (UIntField(root, "schema") != 1) problems.push_back(std::string(document) + ": \"schema\" is not 1");
    if (StringField(root, "platform") != "windows") {
        problems.push_back(std::string(document) + ": \"platform\" is not \"windows\"");
    }
}

std::string IgnoredEntry(const char* name) {
    return std::string("manifest: \"") + name + "\" is ignored by the launcher: ";
}

// An optional blob entry of the manifest; the launcher silently ignores one it cannot use.
std::optional<BlobRef> ReadOfferedBlob(const JsonValue& root, const char* name, std::vector<std::string>& problems) {
    const JsonValue* value = FindField(root, name);
    if (value == nullptr) return std::nullopt;
    const std::string ignored = IgnoredEntry(name);
    if (value->type != JsonType::Object) {
        problems.push_back(ignored + "not an object");
        return std::nullopt;
    }
    try {
        BlobRef blob = ReadBlobRef(*value);
        if (IsSha256Hex(blob.sha256) && blob.size > 0) return blob;
        problems.push_back(ignored + "needs a lower-case SHA-256 and a size above 0");
    } catch (const std::runtime_error& error) {
        problems.push_back(ignored + error.what());
    }
    return std::nullopt;
}

std::optional<LauncherOffer> ReadLauncherOffer(const JsonValue& root, std::vector<std::string>& problems) {
    const std::optional<BlobRef> blob = ReadOfferedBlob(root, "launcher", problems);
    if (!blob) return std::nullopt;
    try {
        return LauncherOffer{StringField(*FindField(root, "launcher"), "version"), *blob};
    } catch (const std::runtime_error& error) {
        problems.push_back(IgnoredEntry("launcher") + error.what());
        return std::nullopt;
    }
}

std::vector<std::string> ReadArguments(const JsonValue& args, std::vector<std::string>& problems) {
    std::vector<std::string> list;
    if (args.type != JsonType::Array) problems.push_back("release list: \"launch\".\"args\" is not an array");
    for (const JsonValue& item : args.items) {
        if (item.type != JsonType::String) problems.push_back("release list: a launch argument is not a string");
        list.push_back(item.text);
    }
    return list;
}

ReleaseEntry ReadEntry(const JsonValue& item) {
    ReleaseEntry entry{StringField(item, "path"), {}, {}};
    entry.blob = ReadBlobRef(item);
    if (const JsonValue* group = FindField(item, "group"); group != nullptr) {
        if (group->type != JsonType::String) throw std::runtime_error("\"group\" is not a string");
        entry.group = group->text;
    }
    return entry;
}

void CheckEntry(const ReleaseEntry& entry, std::set<std::string>& seen, std::vector<std::string>& problems) {
    const std::string where = "release list: " + entry.path + ": ";
    try {
        CheckReleasePath(entry.path);
    } catch (const std::runtime_error&) {
        problems.push_back(where + "the launcher refuses this path");
    }
    if (!IsSha256Hex(entry.blob.sha256)) problems.push_back(where + "\"sha256\" is not 64 lower-case hex digits");
    if (!seen.insert(ToLowerAscii(entry.path)).second) problems.push_back(where + "listed twice (letter case ignored)");
}

std::vector<ReleaseEntry> ReadEntries(const JsonValue& files, std::vector<std::string>& problems) {
    if (files.type != JsonType::Array) throw std::runtime_error("release list: \"files\" is not an array");
    std::vector<ReleaseEntry> entries;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < files.items.size(); ++i) {
        try {
            entries.push_back(ReadEntry(files.items[i]));
            CheckEntry(entries.back(), seen, problems);
        } catch (const std::runtime_error& error) {
            problems.push_back("release list: file entry " + std::to_string(i) + ": " + error.what());
        }
    }
    return entries;
}

}  // namespace

std::string ReleaseListJson(const ReleaseList& list) {
    const std::string launch = Block({Text("path", list.launchPath), Member("args", Strings(list.launchArgs))}, "  ");
    return Block({Number("schema", 1), Text("platform", "windows"), Text("build_id", list.buildId),
                  Text("project_version", list.projectVersion), Member("launch", launch),
                  Member("files", FileArray(list.files))},
                 "") +
           "\n";
}

std::string ManifestJson(const Manifest& manifest) {
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

ReleaseList ReadReleaseList(const std::string& text, std::vector<std::string>& problems) {
    const JsonValue root = ParseJson(text);
    CheckCommonHeader(root, "release list", problems);
    ReleaseList list;
    list.buildId = StringField(root, "build_id");
    list.projectVersion = StringField(root, "project_version");
    const JsonValue& launch = RequireField(root, "launch");
    list.launchPath = StringField(launch, "path");
    list.launchArgs = ReadArguments(RequireField(launch, "args"), problems);
    try {
        CheckReleasePath(list.launchPath);
    } catch (const std::runtime_error&) {
        problems.push_back("release list: the launcher refuses the launch path " + list.launchPath);
    }
    list.files = ReadEntries(RequireField(root, "files"), problems);
    return list;
}

Manifest ReadManifest(const std::string& text, std::vector<std::string>& problems) {
    const JsonValue root = ParseJson(text);
    CheckCommonHeader(root, "manifest", problems);
    Manifest manifest;
    manifest.channel = StringField(root, "channel");
    manifest.release = StringField(root, "release");
    manifest.releaseBlob = {StringField(root, "release_sha256"), UIntField(root, "release_size")};
    manifest.buildId = StringField(root, "build_id");
    manifest.minLauncherVersion = StringField(root, "min_launcher_version");
    manifest.launcher = ReadLauncherOffer(root, problems);
    manifest.banner = ReadOfferedBlob(root, "banner", problems);
    return manifest;
}

}  // namespace vk::publish
