#include "engine/game_listing.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "engine/file_check.h"
#include "engine/install_layout.h"
#include "engine/release_path_portable.h"
#include "infra/handles.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

namespace {

constexpr std::size_t kAmbiguous = static_cast<std::size_t>(-1);

bool HasMetadataComponent(const std::wstring& relative) {
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find(L'\\', start), relative.size());
        if (_wcsicmp(relative.substr(start, end - start).c_str(), kMetadataFolderName) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::set<std::string> ReleaseTopFolders(const RemoteRelease& release) {
    std::set<std::string> folders;
    for (const ReleaseFile& file : release.files) {
        const size_t slash = file.path.find('/');
        if (slash != std::string::npos) folders.insert(ToLowerAscii(file.path.substr(0, slash)));
    }
    return folders;
}

void ListInstallRoot(const std::wstring& installDir, const std::set<std::string>& topFolders,
                     std::vector<ListedFile>& rootFiles, std::vector<std::wstring>& gameFolders) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(JoinPath(installDir, L"*").c_str(), &entry));
    if (!find) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            rootFiles.push_back({name, (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow});
        } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                   topFolders.count(ToLowerAscii(WideToUtf8(name)))) {
            gameFolders.push_back(name);
        }
    } while (FindNextFileW(find.get(), &entry));
}

GameListing::GameListing(const std::wstring& installDir, const RemoteRelease& release) : installDir_(installDir) {
    std::vector<std::wstring> gameFolders;
    ListInstallRoot(installDir, ReleaseTopFolders(release), files_, gameFolders);
    for (const std::wstring& folder : gameFolders) ListFiles(installDir, folder, files_, false, &emptyFolders_);
    releasePathStarts_.reserve(files_.size() + 1);
    for (const ListedFile& file : files_) {
        releasePathStarts_.push_back(releasePathText_.size());
        AppendReleasePathOf(file.path, releasePathText_);
    }
    releasePathStarts_.push_back(releasePathText_.size());
    index_.Reserve(files_.size());
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const auto [slot, added] = index_.Insert(ReleasePath(i), i);
        if (!added) *slot = kAmbiguous;
    }
}

bool GameListing::IsPresentWithSize(const ReleaseFile& file) const {
    const std::size_t* found = index_.Find(file.path);
    if (found == nullptr || *found == kAmbiguous) {
        return vk::IsPresentWithSize(JoinPath(installDir_, DiskPathOf(file.path)), file);
    }
    return files_[*found].size == file.size;
}

void GameListing::RemoveEmptyFolders() const {
    for (const std::wstring& folder : emptyFolders_) {
        if (HasMetadataComponent(folder)) continue;
        if (RemoveDirectoryW(JoinPath(installDir_, folder).c_str())) RemoveEmptyParents(installDir_, folder);
    }
}

bool GameListing::Shows(const std::string& releasePath) const { return index_.Contains(releasePath); }

std::vector<bool> GameListing::ListedAs(const std::vector<const ReleaseFile*>& files) const {
    std::vector<bool> listed(files_.size());
    for (const ReleaseFile* file : files) {
        const std::size_t* found = index_.Find(file->path);
        if (found != nullptr && *found != kAmbiguous) listed[*found] = true;
    }
    return listed;
}

}  // namespace vk
