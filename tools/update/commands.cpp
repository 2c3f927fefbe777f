#include "commands.h"

#include <stdexcept>

#include "console.h"
#include "controller/game_process.h"
#include "engine/install_decision.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "progress_line.h"

namespace vk::headless {

namespace {

std::string Size(std::uint64_t bytes) {
    return WideToUtf8(FormatSize(bytes)) + " (" + std::to_string(bytes) + " bytes)";
}

const char* VerdictWord(InstallVerdict verdict) {
    switch (verdict) {
        case InstallVerdict::LauncherTooOld: return "launcher-too-old";
        case InstallVerdict::NotInstalled: return "not-installed";
        case InstallVerdict::UpdateAvailable: return "update-available";
        case InstallVerdict::Ready: return "ready";
    }
    return "";
}

// What a normal update would fetch. (A repair may find more by reading the files.)
void PrintDownloadPlan(const Updater& updater, const RemoteRelease& release, const InstalledState& installed) {
    const DownloadPlan plan = updater.PlanDownload(release, installed);
    WriteOut("download: " + std::to_string(plan.files) + " files, " + Size(plan.bytes) + "\n");
}

int Check(const Updater& updater) {
    const RemoteRelease release = updater.FetchRelease();
    const InstalledState installed = updater.LoadInstalledState();
    WriteOut("build: " + release.buildId + "\n");
    WriteOut("version: " + release.projectVersion + "\n");
    // Old stores name neither; a publication time that stays old may mean a frozen server.
    WriteOut("sequence: " + (release.sequence ? std::to_string(*release.sequence) : std::string("none")) + "\n");
    WriteOut("published: " + (release.published.empty() ? std::string("unknown") : release.published) + "\n");
    // Past it the manifest is refused; a server that stops refreshing the channel shows here first.
    WriteOut("expires: " + (release.expires.empty() ? std::string("never") : release.expires) + "\n");
    WriteOut("total: " + Size(release.totalSize) + "\n");
    PrintDownloadPlan(updater, release, installed);
    WriteOut(std::string("state: ") + VerdictWord(DecideInstallState(updater, release, installed)) + "\n");
    return kDone;
}

int RunUpdate(const Options& options, const Updater& updater, bool repair) {
    if (IsGameRunning()) {
        throw std::runtime_error(Localized("The game is running. Close it before updating.", "游戏正在运行，请先关闭游戏再更新。"));
    }
    const RemoteRelease release = updater.FetchRelease();
    if (NeedsNewerLauncher(release)) {
        throw std::runtime_error(Localized("Please download the new launcher.", "请下载新版启动器后再更新。"));
    }
    for (const std::string& group : options.select) updater.SelectGroup(group);
    UpdateProgress progress;
    {
        std::unique_ptr<ProgressPrinter> printer;
        if (!options.quiet) printer = std::make_unique<ProgressPrinter>(progress);
        updater.Update(release, repair, progress, stopRequested);
    }
    if (repair) updater.ClearRepairRequest();
    return kDone;
}

// Silent when the game may start.
int Verify(const Updater& updater) {
    const RemoteRelease release = updater.FetchRelease();
    UpdateProgress progress;
    const std::string problem = updater.VerifyForLaunch(release, progress, stopRequested);
    if (problem.empty()) return kDone;
    WriteErr(Localized("Game file missing or changed: ", "发现游戏文件缺失或不一致：") + problem + "\n");
    return kProblemFound;
}

int Status(const Updater& updater) {
    const InstalledState installed = updater.LoadInstalledState();
    std::uint64_t bytes = 0;
    for (const auto& [path, file] : installed.files) bytes += file.size;
    std::string groups;
    for (const std::string& group : updater.LoadSelectedGroups()) groups += (groups.empty() ? "" : ", ") + group;
    const bool nothing = installed.buildId.empty() && installed.files.empty();
    WriteOut("build: " +
             (nothing                     ? std::string("not installed")
              : installed.buildId.empty() ? "unfinished"
                                          : installed.buildId) +
             "\n");
    WriteOut("files: " + std::to_string(installed.files.size()) + "\n");
    WriteOut("size: " + Size(bytes) + "\n");
    WriteOut("groups: " + groups + "\n");
    return kDone;
}

}  // namespace

int RunCommand(const Options& options, const Updater& updater) {
    if (options.command == "check") return Check(updater);
    if (options.command == "update") return RunUpdate(options, updater, false);
    if (options.command == "repair") return RunUpdate(options, updater, true);
    if (options.command == "verify") return Verify(updater);
    return Status(updater);
}

}  // namespace vk::headless
