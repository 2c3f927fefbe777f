#include "engine/install_scan.h"

#include <windows.h>

#include <cwchar>
#include <set>
#include <stdexcept>

#include "engine/install_layout.h"
#include "engine/release_path_portable.h"
#include "engine/updater.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

namespace {

struct PackageRoot {
    bool perUser;  // below the per-user folder instead of the install folder
    const wchar_t* folder;
};

// The game's package folders (the game's own layout): where content packages are loaded from.
constexpr PackageRoot kPackageRoots[] = {
    {false, L"Velkar\\Content"},     {false, L"Engine\\Content"},    {false, L"Velkar\\Binaries"},
    {false, L"Engine\\Binaries"},    {false, L"Velkar\\Plugins"},    {false, L"Engine\\Plugins"},
    {false, L"Velkar\\Saved\\Paks"}, {true, L"Velkar\\Saved\\Paks"},
};

const std::set<std::string>& PackageExtensions() {
    static const std::set<std::string> extensions = {".pak",   ".ucas",  ".utoc", ".uasset", ".umap",    ".uexp",
                                                     ".ubulk", ".uptnl", ".dll",  ".so",     ".uplugin", ".cur"};
    return extensions;
}

struct IgnoringCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

bool SameNameIgnoringCase(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

bool IsDotEntry(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

std::wstring PerUserBase(const std::wstring& gameUserDir) {
    return gameUserDir.empty() ? LocalAppDataFolder() : gameUserDir;
}

// A linked package folder could make the game load content from anywhere, so the root's own
// components, the base included, are tested before anything below it is listed.
void RefuseLinkedComponents(const std::wstring& base, const std::wstring& folder) {
    const std::wstring baseFolder = JoinPath(base, L"");
    if (IsLink(baseFolder, GetFileAttributesW(baseFolder.c_str())) || !LinkedComponent(base, folder).empty()) {
        throw std::runtime_error(Localized("Check linked game package directories.", "请检查游戏资源目录的链接。"));
    }
}

bool IsPackageName(const std::wstring& path) {
    const std::size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && PackageExtensions().contains(ToLowerAscii(WideToUtf8(path.substr(dot))));
}

}  // namespace

void ListFiles(const std::wstring& root, const std::wstring& rel, std::vector<ListedFile>& out, bool refuseLinks,
               std::vector<std::wstring>* emptyFolders) {
    const std::wstring folder = rel.empty() ? root : JoinPath(root, rel);
    WIN32_FIND_DATAW entry;
    // Short names are not needed, and larger batches mean fewer trips to the file system.
    const UniqueFind find(FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return;
    bool empty = true;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        empty = false;
        std::wstring child = rel.empty() ? std::wstring(entry.cFileName) : JoinPath(rel, entry.cFileName);
        const bool link = IsLink(JoinPath(root, child), entry.dwFileAttributes);
        if (refuseLinks && link) throw LinkRefusal(child);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const std::uint64_t size = (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            out.push_back({std::move(child), size});
            continue;
        }
        if (link) continue;
        if (!refuseLinks && ((rel.empty() && SameNameIgnoringCase(entry.cFileName, kMetadataFolderName)) ||
                             SameNameIgnoringCase(entry.cFileName, kSavedFolderName))) {
            continue;
        }
        ListFiles(root, child, out, refuseLinks, emptyFolders);
    } while (FindNextFileW(find.get(), &entry));
    if (empty && emptyFolders != nullptr) emptyFolders->push_back(rel);
}

void ListFiles(const std::wstring& root, const std::wstring& rel, std::vector<std::wstring>& out, bool refuseLinks) {
    std::vector<ListedFile> listed;
    ListFiles(root, rel, listed, refuseLinks);
    for (ListedFile& file : listed) out.push_back(std::move(file.path));
}

void RemoveEmptyParents(const std::wstring& root, const std::wstring& rel) {
    for (std::size_t slash = rel.rfind(L'\\'); slash != std::wstring::npos && slash > 0;
         slash = rel.rfind(L'\\', slash - 1)) {
        const std::wstring folder = JoinPath(root, rel.substr(0, slash));
        // Fails while the folder still holds anything, and so ends the walk there.
        if (IsLink(folder, GetFileAttributesW(folder.c_str())) || !RemoveDirectoryW(folder.c_str())) return;
    }
}

void DisableExtraPackage(const std::wstring& path) {
    const std::wstring disabled = path + L"." + std::to_wstring(GetTickCount64()) + kDisabledPackageSuffix;
    if (!MoveFileW(path.c_str(), disabled.c_str())) {
        const std::string name = WideToUtf8(path);
        throw std::runtime_error(Localized("Cannot disable extra package: " + name, "无法移出额外资源包：" + name));
    }
}

std::vector<std::wstring> Updater::FindExtraPackages(const RemoteRelease& release) const {
    std::set<std::wstring, IgnoringCaseLess> known;
    for (const ReleaseFile& file : release.files) known.insert(InstallPathOf(file));
    const std::wstring perUserBase = PerUserBase(gameUserDir);
    std::vector<std::wstring> extra;
    for (const PackageRoot& root : kPackageRoots) {
        const std::wstring& base = root.perUser ? perUserBase : installDir;
        if (base.empty()) continue;
        RefuseLinkedComponents(base, root.folder);
        const std::wstring folder = JoinPath(base, root.folder);
        std::vector<std::wstring> listed;
        ListFiles(folder, L"", listed, true);
        for (const std::wstring& path : listed) {
            const std::wstring full = JoinPath(folder, path);
            if (IsPackageName(path) && !known.contains(full)) extra.push_back(full);
        }
    }
    return extra;
}

}  // namespace vk
