#include "controller/tasks.h"

#include "controller/task_job.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/banner.h"
#include "platform/news.h"

namespace vk {

namespace {

bool RepairDue(const AppState& app) {
    return app.state == LauncherState::NotInstalled || app.state == LauncherState::UpdateAvailable ||
           app.state == LauncherState::Ready;
}

}  // namespace

void ResetProgress(AppState& app) {
    app.stopRequested.exchange(false);
    app.speed.Reset();
    app.progress.phase.exchange(UpdatePhase::Verifying);
    app.progress.bytesDone.exchange(0);
    app.progress.bytesTotal.exchange(0);
    app.progress.filesDone.exchange(0);
}

void StartNewsRefresh(AppState& app, Effects& effects) {
    const Updater updater = MakeUpdater(app);
    effects.StartTask(
        MakeTask<NewsResult>(TaskKind::NewsRefresh, app.window, MsgNewsLoaded, [updater](NewsResult& result) {
            result.items = RefreshNews(updater);
            result.ok = true;
        }));
}

bool StartReleaseCheck(AppState& app, Effects& effects) {
    if (LauncherBusy(app)) return false;
    SetState(app, effects, LauncherState::Checking, {});
    app.releaseCheckRunning = true;
    StartNewsRefresh(app, effects);
    const Updater updater = MakeUpdater(app);
    effects.StartTask(MakeTask<ReleaseCheckResult>(
        TaskKind::ReleaseCheck, app.window, MsgReleaseChecked, [updater](ReleaseCheckResult& result) {
            try {
                result.release = updater.FetchRelease();
            } catch (ReleaseExpired& refusal) {
                result.error = refusal.what();
                result.expired = true;
                result.release = std::move(refusal.release);
                result.installed = updater.LoadInstalledState();
                return;
            }
            result.installed = updater.LoadInstalledState();
            result.banner = GetBanner(updater, result.release.launcher, true);
            result.ok = true;
        }));
    return true;
}

bool StartUpdate(AppState& app, Effects& effects, bool repair) {
    if (LauncherBusy(app)) return false;
    if (effects.IsGameRunning()) {
        effects.ShowMessage(
            Localized(L"The game is running. Close it before updating.", L"游戏正在运行，请先关闭游戏再更新。"),
            MB_ICONINFORMATION);
        return false;
    }
    ResetProgress(app);
    app.repairMode = repair;
    SetState(app, effects, LauncherState::Updating, {});
    effects.ArmTimer(TimerId::Progress, kProgressPeriodMs);
    const Updater updater = MakeUpdater(app);
    UpdateProgress* progress = &app.progress;
    const std::atomic<bool>* stop = &app.stopRequested;
    effects.StartTask(
        MakeTask<UpdateResult>(TaskKind::Update, app.window, MsgUpdateFinished,
                               [updater, release = app.release, repair, progress, stop](UpdateResult& result) {
                                   try {
                                       updater.Update(release, repair, *progress, *stop);
                                       result.ok = true;
                                   } catch (const Cancelled&) {
                                       result.cancelled = true;
                                   }
                               }));
    return true;
}

bool StartSelfUpdate(AppState& app, Effects& effects) {
    if (LauncherBusy(app)) return false;
    app.selfUpdateBytes.exchange(0);
    app.stopRequested.exchange(false);
    SetState(app, effects, LauncherState::SelfUpdating, {});
    effects.ArmTimer(TimerId::Progress, kSelfUpdateProgressPeriodMs);
    const Updater updater = MakeUpdater(app);
    std::atomic<std::uint64_t>* bytes = &app.selfUpdateBytes;
    const std::atomic<bool>* stop = &app.stopRequested;
    effects.StartTask(MakeTask<SelfUpdateResult>(TaskKind::SelfUpdate, app.window, MsgSelfUpdateFinished,
                                                 [updater, launcher = app.release.launcher, bytes, stop,
                                                  apply = effects.SelfUpdateOperation()](SelfUpdateResult& result) {
                                                     // Only a close stops it (there is no pause), and only
                                                     // while the new launcher downloads.
                                                     const std::string executable = updater.FetchBlob(
                                                         launcher.launcherSha256, launcher.launcherSize, bytes, stop);
                                                     result.ok = apply(executable, result.error);
                                                 }));
    return true;
}

void RequestPause(AppState& app, Effects& effects) {
    if (app.state != LauncherState::Updating) return;
    app.stopRequested.exchange(true);
    app.pauseRequested = true;
    effects.Repaint();
}

void ProcessRequests(AppState& app, Effects& effects) {
    const bool repair = MakeUpdater(app).RepairRequested() || app.repairPending;
    if (repair && RepairDue(app)) {
        if (effects.IsGameRunning()) {
            effects.ArmTimer(TimerId::RequestRetry, kRequestRetryPeriodMs);
            return;
        }
        effects.StopTimer(TimerId::RequestRetry);
        app.repairPending = true;
        app.requestPending = false;
        StartUpdate(app, effects, true);
    } else if (app.requestPending && app.state == LauncherState::UpdateAvailable) {
        app.requestPending = false;
        StartUpdate(app, effects, false);
    }
}

}  // namespace vk
