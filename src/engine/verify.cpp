#include <set>

#include "engine/file_check.h"
#include "engine/parallel_check.h"
#include "engine/updater.h"
#include "engine/verify.h"
#include "infra/errors.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

bool IsLaunchChecked(const std::string& path) {
    return path.rfind("Engine/", 0) == 0 || path.rfind("Velkar/", 0) == 0 || path == "Velkar.exe" ||
           path == "OnlineFiles.json" || path == "OnlineFiles.sig";
}

std::string GameFileProblemMessage(const std::string& problem) {
    return Localized("Game file missing or changed: ", "发现游戏文件缺失或不一致：") + problem;
}

namespace {

// The selected groups plus every group with a file on disk; nothing of this is written back.
std::set<std::string> GroupsToCheck(const Updater& updater, const RemoteRelease& release) {
    std::set<std::string> groups = updater.LoadSelectedGroups(release);
    for (const ReleaseFile& file : release.files) {
        if (!file.group.empty() && IsRegularFile(updater.InstallPathOf(file))) groups.insert(file.group);
    }
    return groups;
}

}  // namespace

std::string Updater::VerifyForLaunch(const RemoteRelease& release, UpdateProgress& progress,
                                     const std::atomic<bool>& stop) const {
    const std::set<std::string> groups = GroupsToCheck(*this, release);
    std::vector<const ReleaseFile*> covered;
    std::uint64_t totalBytes = 0;
    for (const ReleaseFile& file : release.files) {
        if (!IsLaunchChecked(file.path) || (!file.group.empty() && !groups.count(file.group))) continue;
        covered.push_back(&file);
        totalBytes += file.size;
    }
    progress.bytesTotal = totalBytes;
    progress.filesTotal = static_cast<std::uint32_t>(covered.size());

    // Several files are hashed at once; the answer is still the first bad file in list order.
    const auto checkFile = [&](std::size_t i, const std::atomic<bool>& abandon, FileHasher& hasher) {
        if (stop.load()) throw Cancelled();
        const ReleaseFile& file = *covered[i];
        const HashCheck check = HashInstalledFile(InstallPathOf(file), file, hasher, stop, abandon, progress.bytesDone);
        if (!check.matches) {
            progress.bytesDone -= check.hashed;
            return false;
        }
        ++progress.filesDone;
        return true;
    };
    std::vector<std::uint64_t> sizes;
    for (const ReleaseFile* file : covered) sizes.push_back(file->size);
    const auto outcomes = CheckInParallel(sizes, true, checkFile);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].state == CheckOutcome::State::Failed) std::rethrow_exception(outcomes[i].error);
        if (outcomes[i].state != CheckOutcome::State::Good) return covered[i]->path;
    }

    // The walk above meets the stop flag only at a file; with no file covered it must be met here.
    if (stop.load()) throw Cancelled();
    const std::vector<std::wstring> extras = FindExtraPackages(release);
    if (extras.empty()) return {};
    return WideToUtf8(FileNameOf(extras.front()));
}

}  // namespace vk
