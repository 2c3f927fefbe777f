#include "engine/update.h"

#include <windows.h>

#include <algorithm>
#include <future>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <unordered_set>

#include "engine/download_store.h"
#include "engine/file_check.h"
#include "engine/game_listing.h"
#include "engine/install_layout.h"
#include "engine/install_scan.h"
#include "engine/links.h"
#include "engine/parallel_check.h"
#include "engine/record_saving.h"
#include "engine/release_path_portable.h"
#include "engine/updater.h"
#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

FreeSpaceQuery queryFreeSpace = QueryVolumeFreeSpace;

namespace {

// The files of the base game and of the selected groups.
std::vector<const ReleaseFile*> WantedFiles(const RemoteRelease& release, const std::set<std::string>& selected) {
    std::vector<const ReleaseFile*> wanted;
    for (const ReleaseFile& file : release.files) {
        if (file.group.empty() || selected.contains(file.group)) wanted.push_back(&file);
    }
    return wanted;
}

// Outside repair and recovery only the size and the record decide whether a file is in place.
bool MatchesRecord(const GameListing& listing, const ReleaseFile& file, const InstalledState& installed) {
    const auto recorded = installed.files.find(file.path);
    return recorded != installed.files.end() && recorded->second.sha256 == file.sha256 &&
           listing.IsPresentWithSize(file);
}

// The download store, relative to the install folder.
std::wstring StoreFolder() { return JoinPath(kMetadataFolderName, kDownloadsFolder); }

// The folder part of a relative path; empty for a file directly in the install folder.
std::wstring FolderOf(const std::wstring& relative) {
    const std::size_t slash = relative.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

// The last file that uses a blob takes it by a rename, the others take copies. A copy is made inside the
// store and renamed into place too, so that an entry already at the target (a link to a file elsewhere)
// is replaced, never written through.
bool PlaceBlob(const std::wstring& blob, const std::wstring& target, bool lastUser) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;
    if (lastUser) return MoveFileExW(blob.c_str(), target.c_str(), flags);
    const std::wstring copy = blob + L".tmp";
    return CopyFileW(blob.c_str(), copy.c_str(), FALSE) && MoveFileExW(copy.c_str(), target.c_str(), flags);
}

// The blobs the files need, each once: digest -> size.
std::map<std::string, std::uint64_t> BlobsOf(const std::vector<const ReleaseFile*>& files) {
    std::map<std::string, std::uint64_t> blobs;
    for (const ReleaseFile* file : files) blobs[file->sha256] = file->size;
    return blobs;
}

// Which files of the installation an update deletes: those the release does not want, but only those
// that belong to the game: files the record names, and files inside the top-level folders the release
// uses. Anything else in the install folder may be the player's own and stays. (Since it was read,
// the record has gained only wanted files, which are never stale: for any other path it still answers
// as it was read.) The sets of paths are made at the first question, so that an update that leaves
// every file in place, and asks none, makes none.
class StaleRule {
public:
    StaleRule(const RemoteRelease& release, const std::vector<const ReleaseFile*>& wanted, const InstalledState& record)
        : release_(release), wantedFiles_(wanted), record_(record) {}

    bool IsWanted(std::string_view path) {
        Prepare();
        return wanted_.Contains(path);
    }

    bool IsStale(std::string_view path) {
        if (IsWanted(path) || IsUnderSaved(path) || EndsWithIgnoringAsciiCase(path, ".vk-offline")) return false;
        const size_t slash = path.find('/');
        return recorded_.Contains(path) ||
               (slash != std::string_view::npos && topFolders_.count(ToLowerAscii(std::string(path.substr(0, slash)))));
    }

private:
    void Prepare() {
        if (prepared_) return;
        prepared_ = true;
        wanted_.Reserve(wantedFiles_.size());
        for (const ReleaseFile* file : wantedFiles_) wanted_.Insert(file->path);
        recorded_.Reserve(record_.files.size());
        for (const auto& [path, file] : record_.files) recorded_.Insert(path);
        topFolders_ = ReleaseTopFolders(release_);
    }

    const RemoteRelease& release_;
    const std::vector<const ReleaseFile*>& wantedFiles_;
    const InstalledState& record_;
    bool prepared_ = false;
    ReleasePathSet wanted_;
    ReleasePathSet recorded_;
    std::set<std::string> topFolders_;
};

class UpdateRun {
public:
    UpdateRun(const Updater& updater, const RemoteRelease& release, bool repair, UpdateProgress& progress,
              const std::atomic<bool>& stop)
        : updater_(updater), release_(release), repair_(repair), progress_(progress), stop_(stop) {}

    void Run() {
        // The store is where finished blobs wait and what is emptied at the end: it must be the
        // install's own folder, not a link to somewhere else.
        CreateDirectories(updater_.installDir);
        placer_.Create(StoreFolder());
        const std::wstring downloads = JoinPath(updater_.installDir, StoreFolder());
        SelectGroups();
        // The installation is listed while the record is read: each takes a while for a large game,
        // and neither needs the other. Checking by content needs no listing, but the stale-file pass
        // can still use it when nothing is installed.
        auto listing = std::async(std::launch::async, [this] {
            return std::make_unique<GameListing>(updater_.installDir, release_);
        });
        installed_ = updater_.LoadInstalledState();
        deep_ = repair_ || installed_.buildId.empty();
        listing_ = listing.get();

        CheckInstalledFiles();
        const std::map<std::string, std::uint64_t> blobs = BlobsOf(needed_);
        DownloadStage stage(updater_.baseUrl, downloads, progress_, stop_, updater_.downloadLimitKiB * 1024);
        stage.Prepare(blobs);
        CheckFreeSpace();
        progress_.phase = UpdatePhase::Downloading;
        progress_.bytesTotal = stage.bytesToFetch() + stage.bytesAlreadyDone();
        progress_.bytesDone = stage.bytesAlreadyDone();
        progress_.filesTotal = static_cast<std::uint32_t>(blobs.size());
        progress_.filesDone = stage.blobsComplete();
        stage.Run();

        InstallNeededFiles(downloads);
        if (deep_) DisableExtraPackages();
        RemoveStaleFiles();
        listing_->RemoveEmptyFolders();
        if (installed_.buildId != release_.buildId) {
            installed_.buildId = release_.buildId;
            recordChanged_ = true;
        }
        // An update that changed nothing leaves the record as it was: it is large for a large game.
        if (recordRewritten_ || recordChanged_) SaveRecord();
        if (LinkedComponent(updater_.installDir, StoreFolder()).empty()) EmptyDownloadStore(downloads);
        progress_.phase = UpdatePhase::Idle;
    }

private:
    // The groups to install; a repair adopts every optional group that has a file on disk.
    void SelectGroups() {
        selected_ = updater_.LoadSelectedGroups(release_);
        if (repair_) {
            for (const ReleaseFile& file : release_.files) {
                if (file.group.empty() || selected_.count(file.group)) continue;
                if (IsRegularFile(updater_.InstallPathOf(file))) {
                    updater_.SelectGroup(file.group);
                    selected_.insert(file.group);
                }
            }
        }
        wanted_ = WantedFiles(release_, selected_);
    }

    void CheckInstalledFiles() {
        progress_.phase = UpdatePhase::Verifying;
        progress_.bytesDone = 0;
        progress_.filesDone = 0;
        progress_.filesTotal = static_cast<std::uint32_t>(wanted_.size());
        std::uint64_t total = 0;
        for (const ReleaseFile* file : wanted_) total += file->size;
        progress_.bytesTotal = deep_ ? total : 0;

        const std::vector<bool> good = deep_ ? HashInstalledFiles() : CompareWithRecord();
        for (size_t i = 0; i < wanted_.size(); ++i) {
            const ReleaseFile* file = wanted_[i];
            if (good[i]) {
                Record(*file);
            } else {
                needed_.push_back(file);
            }
        }
    }

    // Nothing is read.
    std::vector<bool> CompareWithRecord() {
        std::vector<bool> good;
        for (const ReleaseFile* file : wanted_) {
            if (stop_.load()) throw Cancelled();
            good.push_back(MatchesRecord(*listing_, *file, installed_));
            ++progress_.filesDone;
        }
        return good;
    }

    // Every present file is read and hashed, several at once.
    std::vector<bool> HashInstalledFiles() {
        const auto checkFile = [&](std::size_t i, const std::atomic<bool>& abandon, FileHasher& hasher) {
            if (stop_.load()) throw Cancelled();
            const ReleaseFile& file = *wanted_[i];
            const HashCheck check =
                HashInstalledFile(updater_.InstallPathOf(file), file, hasher, stop_, abandon, progress_.bytesDone);
            // A file that was not read still counts as checked.
            progress_.bytesDone += file.size - check.hashed;
            ++progress_.filesDone;
            return check.matches;
        };
        std::vector<std::uint64_t> sizes;
        for (const ReleaseFile* file : wanted_) sizes.push_back(file->size);
        const auto outcomes = CheckInParallel(sizes, false, checkFile);
        std::vector<bool> good;
        for (const CheckOutcome& outcome : outcomes) {
            if (outcome.state == CheckOutcome::State::Failed) std::rethrow_exception(outcome.error);
            good.push_back(outcome.state == CheckOutcome::State::Good);
        }
        return good;
    }

    void CheckFreeSpace() const {
        std::uint64_t freeBytes = 0;
        if (queryFreeSpace(updater_.installDir, freeBytes) && freeBytes < kMinimumFreeSpace) {
            throw std::runtime_error(Localized("Not enough disk space: at least 256 MB more is needed.",
                                               "磁盘空间不足：还需要 256 MB 以上。"));
        }
    }

    void InstallNeededFiles(const std::wstring& downloads) {
        progress_.phase = UpdatePhase::Installing;
        progress_.filesDone = 0;
        progress_.filesTotal = static_cast<std::uint32_t>(needed_.size());
        if (needed_.empty()) return;
        // From the first file placed until the last, the record names no build: an interrupted
        // update checks every file by its content next time.
        installed_.buildId.clear();
        SaveRecord();

        std::map<std::string, int> users;
        for (const ReleaseFile* file : needed_) ++users[file->sha256];
        RecordSaving saving;
        for (const ReleaseFile* file : needed_) {
            placer_.Create(FolderOf(DiskPathOf(file->path)));
            const std::wstring blob = JoinPath(downloads, Utf8ToWide(file->sha256));
            if (!PlaceBlob(blob, updater_.InstallPathOf(*file), --users[file->sha256] == 0)) {
                FailReplace(*file, GetLastError());
            }
            Record(*file);
            ++progress_.filesDone;
            if (saving.FileInstalled(installed_.files.size())) SaveRecord();
        }
    }

    // The record names the file with its release digest; the record as read is never copied, so
    // whether it changed is tracked here.
    void Record(const ReleaseFile& file) {
        const auto [entry, added] = installed_.files.try_emplace(file.path);
        if (!added && entry->second.sha256 == file.sha256 && entry->second.size == file.size) return;
        entry->second = {file.sha256, file.size};
        recordChanged_ = true;
    }

    void SaveRecord() {
        updater_.SaveInstalledState(installed_);
        recordRewritten_ = true;
    }

    [[noreturn]] void FailReplace(const ReleaseFile& file, DWORD code) {
        SaveRecord();
        const std::string text = WideToUtf8(SystemErrorText(code));
        throw std::runtime_error(Localized("Cannot replace ", "无法替换 ") + file.path + ": " + text +
                                 Localized(" (is the game still running?)", "（游戏是否仍在运行？）"));
    }

    // A package that the last record names is the previous release's own file, left by an update
    // that did not finish: it is deleted with the other stale files below, not kept aside as the
    // player's. (The record has gained only release files since it was read, and no extra package
    // is one of those.)
    void DisableExtraPackages() const {
        ReleasePathSet recorded;
        recorded.Reserve(installed_.files.size());
        for (const auto& [path, file] : installed_.files) recorded.Insert(path);
        const std::wstring installPrefix = updater_.installDir + L"\\";
        for (const std::wstring& path : updater_.FindExtraPackages(release_)) {
            const bool inInstall = path.rfind(installPrefix, 0) == 0;
            if (inInstall && recorded.Contains(ReleasePathOf(path.substr(installPrefix.size())))) continue;
            DisableExtraPackage(path);
        }
    }

    // Deletes what the release does not list (see StaleRule), and forgets it in the record.
    void RemoveStaleFiles() {
        // The listing of the start still holds when nothing was hashed or installed since; otherwise
        // the installation is listed again.
        if (!listing_ || !needed_.empty()) listing_ = std::make_unique<GameListing>(updater_.installDir, release_);
        StaleRule rule(release_, wanted_, installed_);
        const std::vector<bool> wantedOnDisk = listing_->ListedAs(wanted_);
        for (std::size_t i = 0; i < listing_->Files().size(); ++i) {
            if (!wantedOnDisk[i] && rule.IsStale(listing_->ReleasePath(i))) {
                DeleteStaleFile(listing_->Files()[i].path);
            }
        }
        // Every wanted file is recorded by now, so a record of no more entries names nothing else.
        if (installed_.files.size() == wanted_.size()) return;
        for (const std::wstring& relative : RecordedFilesOffTheListing()) {
            if (rule.IsStale(ReleasePathOf(relative))) DeleteStaleFile(relative);
        }
        for (auto it = installed_.files.begin(); it != installed_.files.end();) {
            if (rule.IsWanted(it->first)) {
                ++it;
            } else {
                it = installed_.files.erase(it);
                recordChanged_ = true;
            }
        }
    }

    // Only what lies in the installation itself: a file reached through a link is somewhere else.
    void DeleteStaleFile(const std::wstring& relative) const {
        if (!LinkedComponent(updater_.installDir, relative).empty()) return;
        if (DeleteFileW(JoinPath(updater_.installDir, relative).c_str())) {
            RemoveEmptyParents(updater_.installDir, relative);
        }
    }

    // Recorded files that the listing does not show (an old build's files outside the release's folders).
    std::vector<std::wstring> RecordedFilesOffTheListing() const {
        std::vector<std::wstring> files;
        for (const auto& [path, file] : installed_.files) {
            if (listing_->Shows(path)) continue;
            try {
                CheckReleasePath(path);  // a damaged record never points outside the install folder
            } catch (const std::runtime_error&) {
                continue;
            }
            const std::wstring relative = DiskPathOf(path);
            if (IsRegularFile(JoinPath(updater_.installDir, relative))) files.push_back(relative);
        }
        return files;
    }

    const Updater& updater_;
    const RemoteRelease& release_;
    const bool repair_;
    UpdateProgress& progress_;
    const std::atomic<bool>& stop_;

    std::set<std::string> selected_;
    std::vector<const ReleaseFile*> wanted_;
    std::vector<const ReleaseFile*> needed_;
    InstalledState installed_;
    bool recordChanged_ = false;  // the record differs from installed.json as read
    bool recordRewritten_ = false;
    bool deep_ = false;
    std::unique_ptr<GameListing> listing_;
    FolderPlacer placer_{updater_.installDir};
};

}  // namespace

DownloadPlan Updater::PlanDownload(const RemoteRelease& release, const InstalledState& installed) const {
    const std::vector<const ReleaseFile*> wanted = WantedFiles(release, LoadSelectedGroups(release));
    std::vector<const ReleaseFile*> needed;
    if (installed.buildId.empty()) {
        needed = wanted;  // an update that did not finish checks every file by its content, so each counts
    } else {
        const GameListing listing(installDir, release);
        for (const ReleaseFile* file : wanted) {
            if (!MatchesRecord(listing, *file, installed)) needed.push_back(file);
        }
    }
    DownloadPlan plan;
    plan.files = static_cast<std::uint32_t>(needed.size());
    for (const auto& [sha256, size] : BlobsOf(needed)) plan.bytes += size;
    return plan;
}

void Updater::Update(const RemoteRelease& release, bool repair, UpdateProgress& progress,
                     const std::atomic<bool>& stop) const {
    UpdateRun(*this, release, repair, progress, stop).Run();
}

}  // namespace vk
