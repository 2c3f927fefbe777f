#pragma once
// Walks the installation's folders: the listing behind stale-file removal and the clean-up of empty
// folders, and the search for content packages that the release does not list.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/links.h"

namespace vk {

// Appends the path relative to root of every file below root\rel (rel empty: root itself).
// Refusing mode throws on any link; otherwise the metadata folder of root and every Saved folder
// are skipped. A folder that cannot be listed contributes nothing.
void ListFiles(const std::wstring& root, const std::wstring& rel, std::vector<std::wstring>& out, bool refuseLinks);

// A file as a folder's listing shows it: its path relative to the listed root and its size.
struct ListedFile {
    std::wstring path;
    std::uint64_t size = 0;
};

// The same listing with each file's size, read from the folder's entries at no extra cost. When
// emptyFolders is given, it also receives the relative path of every listed folder that holds nothing.
void ListFiles(const std::wstring& root, const std::wstring& rel, std::vector<ListedFile>& out, bool refuseLinks,
               std::vector<std::wstring>* emptyFolders = nullptr);

// After the file root\rel was deleted: removes its folders below root, innermost first, while they
// are empty. Stops at the first folder that holds anything or is a link; never removes root.
void RemoveEmptyParents(const std::wstring& root, const std::wstring& rel);

// Takes an extra package out of use by renaming it to path + "." + ticks + ".vk-offline".
void DisableExtraPackage(const std::wstring& path);

}  // namespace vk
