#pragma once
// The game's files in an installation as one listing per folder saw them: the files directly in the
// install folder and every file below the top-level folders that the release uses (Saved folders and
// links excepted, as for every listing of the installation). An update with nothing to do asks it
// for sizes and walks it for stale files, so that neither costs a query per file.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/install_scan.h"
#include "engine/release.h"
#include "engine/release_path_portable.h"

namespace vk {

// The lower-case names of the top-level folders the release's files live in ("velkar", "engine").
std::set<std::string> ReleaseTopFolders(const RemoteRelease& release);

// Entries directly in the install folder: files, and the folders among `topFolders` as named on disk.
void ListInstallRoot(const std::wstring& installDir, const std::set<std::string>& topFolders,
                     std::vector<ListedFile>& rootFiles, std::vector<std::wstring>& gameFolders);

class GameListing {
public:
    GameListing(const std::wstring& installDir, const RemoteRelease& release);
    // The index holds views of the listing's own paths.
    GameListing(const GameListing&) = delete;
    GameListing& operator=(const GameListing&) = delete;

    // What IsPresentWithSize answers for the file's install path. The listing answers for the files
    // it shows under one name; any other file is asked about, since the listing cannot rule it out
    // (letter case that differs beyond ASCII, a file behind a link, names that differ only in case).
    bool IsPresentWithSize(const ReleaseFile& file) const;

    // Whether the listing shows a file under this release path (ASCII letter case ignored).
    bool Shows(const std::string& releasePath) const;

    // For each of Files(), whether it is one of these release files and the only name listed for its
    // path (ASCII letter case ignored).
    std::vector<bool> ListedAs(const std::vector<const ReleaseFile*>& files) const;

    // Every listed file, relative to the install folder.
    const std::vector<ListedFile>& Files() const { return files_; }

    // The release path of Files()[i].
    std::string_view ReleasePath(std::size_t i) const {
        return std::string_view(releasePathText_).substr(releasePathStarts_[i], releasePathStarts_[i + 1] - releasePathStarts_[i]);
    }

    // Removes the folders that were empty when listed, and then each of their parents that is
    // empty, as files deleted since may have left them: together with removing the parents of each
    // deleted file, this removes every empty folder of the game without listing it again. The
    // metadata folder at any depth is left alone; Saved folders and links were never listed.
    void RemoveEmptyFolders() const;

private:
    const std::wstring installDir_;
    std::vector<ListedFile> files_;
    // The release paths of files_, one after the other in one text: one allocation, not one per file.
    std::string releasePathText_;
    std::vector<std::size_t> releasePathStarts_;  // and the end of the last
    std::vector<std::wstring> emptyFolders_;
    // Release path (ASCII letter case ignored) -> index into files_, or kAmbiguous for two names of one path.
    ReleasePathMap<std::size_t> index_;
};

}  // namespace vk
