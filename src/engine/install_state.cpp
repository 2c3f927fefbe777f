#include "engine/install_state.h"

#include <windows.h>

#include <exception>
#include <map>
#include <stdexcept>
#include <string_view>

#include "engine/install_layout.h"
#include "engine/links.h"
#include "infra/files.h"
#include "infra/json_portable.h"
#include "infra/json_reader_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

namespace {

// A metadata folder that is a link would have the launcher write wherever it points.
void WriteMetadataFile(const Updater& updater, const wchar_t* name, const std::string& bytes) {
    CreateDirectories(updater.installDir);
    FolderPlacer(updater.installDir).Create(kMetadataFolderName);
    WriteFileAtomic(MetadataPath(updater, name), bytes);
}

std::string InstalledStateText(const InstalledState& state) {
    std::string text = "{\n  \"build_id\": " + QuoteJson(state.buildId) + ",\n  \"files\": {";
    const char* separator = "\n    ";
    for (const auto& [path, file] : state.files) {
        text += separator + QuoteJson(path) + ": {\"sha256\": " + QuoteJson(file.sha256) +
                ", \"size\": " + std::to_string(file.size) + "}";
        separator = ",\n    ";
    }
    return text + "\n  }\n}\n";
}

std::string OptionalText(const RemoteRelease& release, const std::set<std::string>& selected) {
    std::map<std::string, std::uint64_t> totals;
    for (const ReleaseFile& file : release.files) {
        if (!file.group.empty()) totals[file.group] += file.size;
    }
    std::string text = "{";
    const char* separator = "\n  ";
    for (const auto& [group, bytes] : totals) {
        text += separator + QuoteJson(group) + ": {\"bytes\": " + std::to_string(bytes) +
                ", \"enabled\": " + (selected.contains(group) ? "true" : "false") + "}";
        separator = ",\n  ";
    }
    return text + "\n}\n";
}

}  // namespace

// One reading of the text straight into the record; any failure, of the syntax or of a member, makes
// the whole record unreadable. The first member of each name counts, as FindField finds it; within
// "files" a later entry for the same path replaces an earlier one.
InstalledState ParseInstalledState(const std::string& text) {
    JsonReader reader(text);
    const auto readString = [&reader](const char* name) {
        JsonValue value = ReadJsonValue(reader);
        StringOf(&value, name);
        return std::move(value.text);
    };
    InstalledState state;
    bool buildIdRead = false;
    bool filesRead = false;
    const auto readEntry = [&](std::string_view path) {
        bool shaRead = false, sizeRead = false;
        InstalledFile file;
        if (reader.Next() == JsonType::Object) {
            reader.ReadObject([&](std::string_view name) {
                if (name == "sha256" && !shaRead) {
                    shaRead = true;
                    file.sha256 = readString("sha256");
                } else if (name == "size" && !sizeRead) {
                    sizeRead = true;
                    const JsonValue size = ReadJsonValue(reader);
                    file.size = UIntOf(&size, "size");
                } else {
                    reader.Skip();
                }
            });
        } else {
            reader.Skip();
        }
        if (!shaRead) throw std::runtime_error("缺少字段 sha256");
        if (!sizeRead) throw std::runtime_error("缺少字段 size");
        // The record is written in path order, so each entry goes in at the end.
        state.files.insert_or_assign(state.files.end(), std::string(path), std::move(file));
    };
    if (reader.Next() != JsonType::Object) throw std::runtime_error("缺少字段 build_id");
    reader.ReadObject([&](std::string_view name) {
        if (name == "build_id" && !buildIdRead) {
            buildIdRead = true;
            state.buildId = readString("build_id");
        } else if (name == "files" && !filesRead && reader.Next() == JsonType::Object) {
            filesRead = true;
            reader.ReadObject(readEntry);
        } else {
            // A "files" that is not an object has no entries.
            filesRead = filesRead || name == "files";
            reader.Skip();
        }
    });
    reader.End();
    if (!buildIdRead) throw std::runtime_error("缺少字段 build_id");
    if (!filesRead) throw std::runtime_error("缺少字段 files");
    return state;
}

std::wstring MetadataPath(const Updater& updater, const wchar_t* name) {
    return JoinPath(updater.MetadataDir(), name);
}

void AddGroupsFrom(const std::wstring& path, std::set<std::string>& groups, const std::set<std::string>* allowed) {
    const std::string text = ReadWholeFile(path, kSmallFileLimit);
    if (text.empty()) return;
    JsonValue document;
    try {
        document = ParseJson(text);
    } catch (const std::exception&) {
        return;  // another program's half-written or broken file asks for nothing
    }
    const JsonValue* list = FindField(document, "groups");
    if (list == nullptr || list->type != JsonType::Array) return;
    for (const JsonValue& item : list->items) {
        if (item.type != JsonType::String || item.text.empty()) continue;
        if (allowed == nullptr || allowed->contains(item.text)) groups.insert(item.text);
    }
}

std::string GroupsText(const std::set<std::string>& groups) {
    std::string text = "{\"groups\": [";
    const char* separator = "";
    for (const std::string& group : groups) {
        text += separator + QuoteJson(group);
        separator = ", ";
    }
    return text + "]}\n";
}

std::wstring Updater::MetadataDir() const { return JoinPath(installDir, kMetadataFolderName); }

InstalledState Updater::LoadInstalledState() const {
    const std::string text = ReadWholeFile(MetadataPath(*this, kInstalledStateFile), kWholeFileLimit);
    if (text.empty()) return {};
    try {
        return ParseInstalledState(text);
    } catch (const std::exception&) {
        return {};  // an unreadable record means nothing is known: every file gets checked
    }
}

void Updater::SaveInstalledState(const InstalledState& state) const {
    WriteMetadataFile(*this, kInstalledStateFile, InstalledStateText(state));
}

namespace {

// The selection of groups.json with a waiting request.json merged in and deleted.
std::set<std::string> MergeRequest(const Updater& updater, const std::set<std::string>* allowed) {
    std::set<std::string> groups;
    AddGroupsFrom(MetadataPath(updater, kGroupsFile), groups);
    const std::wstring request = MetadataPath(updater, kRequestFile);
    if (IsRegularFile(request)) {
        AddGroupsFrom(request, groups, allowed);
        WriteMetadataFile(updater, kGroupsFile, GroupsText(groups));
        // A request that cannot be deleted is merged again next time, which changes nothing.
        DeleteFileW(request.c_str());
    }
    return groups;
}

}  // namespace

std::set<std::string> Updater::LoadSelectedGroups() const { return MergeRequest(*this, nullptr); }

std::set<std::string> Updater::LoadSelectedGroups(const RemoteRelease& release) const {
    std::set<std::string> defined;
    for (const ReleaseFile& file : release.files) {
        if (!file.group.empty()) defined.insert(file.group);
    }
    return MergeRequest(*this, &defined);
}

void Updater::SelectGroup(const std::string& name) const {
    std::set<std::string> groups = LoadSelectedGroups();
    groups.insert(name);
    WriteMetadataFile(*this, kGroupsFile, GroupsText(groups));
}

bool Updater::IsUpToDate(const RemoteRelease& release, const InstalledState& installed) const {
    if (installed.buildId != release.buildId) return false;
    const std::set<std::string> selected = LoadSelectedGroups(release);
    for (const ReleaseFile& file : release.files) {
        if (!file.group.empty() && !selected.contains(file.group)) continue;
        const auto found = installed.files.find(file.path);
        if (found == installed.files.end() || found->second.sha256 != file.sha256) return false;
    }
    return true;
}

void Updater::WriteInstallInfo(const RemoteRelease& release, const std::wstring& launcherPath) const {
    WriteMetadataFile(*this, kOptionalFile, OptionalText(release, LoadSelectedGroups(release)));
    WriteMetadataFile(*this, kLauncherPathFile, WideToUtf8(launcherPath));
    WriteMetadataFile(*this, kChannelFile, release.manifestText);
    WriteMetadataFile(*this, kChannelSignatureFile, release.signatureText);
}

bool Updater::RepairRequested() const { return IsRegularFile(MetadataPath(*this, kRepairRequestFile)); }

void Updater::ClearRepairRequest() const {
    if (LinkedComponent(installDir, kMetadataFolderName).empty()) {
        DeleteFileW(MetadataPath(*this, kRepairRequestFile).c_str());
    }
}

bool Updater::HasPendingRequest() const {
    return RepairRequested() || IsRegularFile(MetadataPath(*this, kRequestFile));
}

}  // namespace vk
