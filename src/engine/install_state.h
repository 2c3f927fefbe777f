#pragma once
// The metadata folder of an installation: the formats shared by groups.json and request.json, and
// the path of any file in the folder. The operations on it are Updater members (updater.h).
#include <set>
#include <string>

#include "engine/updater.h"

namespace vk {

// MetadataDir() + "\" + name.
std::wstring MetadataPath(const Updater& updater, const wchar_t* name);

// Adds the non-empty strings of the file's "groups" array (only those in `allowed`, when given); a
// missing, empty or malformed file adds nothing.
void AddGroupsFrom(const std::wstring& path, std::set<std::string>& groups,
                   const std::set<std::string>* allowed = nullptr);

// The record in installed.json's text, read in one pass without a model of the document; throws
// for a text that is no record (not JSON, or a member missing or mistyped).
InstalledState ParseInstalledState(const std::string& text);

// The groups.json text for the set: {"groups": ["a", "b"]} and a line feed.
std::string GroupsText(const std::set<std::string>& groups);

}  // namespace vk
