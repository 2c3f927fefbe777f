#include "controller/handlers.h"

#include "controller/payloads.h"
#include "controller/play.h"
#include "controller/tasks.h"
#include "engine/install_decision.h"
#include "infra/files.h"
#include "infra/text.h"

namespace vk {

namespace {

// A manifest past its expiry is never updated from. While its build is the one installed, the game
// may still start offline with that build's command line.
void KeepForOfflineStart(AppState& app, ReleaseCheckResult& result) {
    const Updater& updater = app.updater;
    bool installed = false;
    try {
        installed = updater.IsUpToDate(result.release, result.installed) &&
                    IsRegularFile(GameExecutablePath(updater.installDir, result.release.launchPath));
    } catch (const std::exception&) {
        // A request that cannot be merged: the installation's state is open, so no start.
    }
    if (!installed) return;
    app.release = std::move(result.release);
    app.installed = std::move(result.installed);
    app.releaseKnown = false;
    app.offlineOnly = true;
}

}  // namespace

void OnReleaseChecked(AppState& app, Effects& effects, std::unique_ptr<ReleaseCheckResult> result) {
    app.machine.releaseCheckRunning = false;
    if (!result->ok) {
        app.serverOnline = false;
        if (result->expired) KeepForOfflineStart(app, *result);
        Enter(app.machine, effects, LauncherEvent::CheckFailed, Utf8ToWide(result->error));
        return;
    }
    app.offlineOnly = false;
    app.releaseKnown = true;
    app.serverOnline = true;
    app.release = std::move(result->release);
    app.installed = std::move(result->installed);
    const std::string& banner = app.release.launcher.bannerSha256;
    if (!result->banner.empty() && banner != app.loadedBannerSha256 && effects.SetBackgroundImage(result->banner)) {
        app.loadedBannerSha256 = banner;
    }
    if (SelfUpdateNeeded(app)) {
        StartSelfUpdate(app, effects);
        return;
    }
    RefreshInstallState(app, effects);
    ProcessRequests(app, effects);
}

void OnUpdateFinished(AppState& app, Effects& effects, std::unique_ptr<UpdateResult> result) {
    effects.StopTimer(TimerId::Progress);
    const Updater& updater = app.updater;
    // A stopped or failed update has recorded what it installed.
    app.installed = updater.LoadInstalledState();
    if (result->cancelled) {
        Enter(app.machine, effects, LauncherEvent::UpdateStopped);
        return;
    }
    if (!result->ok) {
        Enter(app.machine, effects, LauncherEvent::UpdateFailed, Utf8ToWide(result->error));
        return;
    }
    RefreshInstallState(app, effects);
    if (app.machine.repairMode && app.machine.state == LauncherState::Ready &&
        (app.machine.repairPending || updater.RepairRequested())) {
        // The repair another program or the file check asked for ends with the game started again.
        updater.ClearRepairRequest();
        app.machine.repairPending = false;
        app.machine.requestPending = false;
        app.machine.offlineLaunch = false;
        StartGameAfterRuntime(app, effects);
    } else if (app.machine.requestPending && updater.RepairRequested()) {
        ProcessRequests(app, effects);
    } else if (app.machine.requestPending && app.machine.state == LauncherState::UpdateAvailable) {
        app.machine.requestPending = false;
        StartUpdate(app, effects, false);
    } else if (app.machine.state == LauncherState::Ready) {
        StartRuntimeStep(app, effects, false);
    }
}

void OnActivate(AppState& app, Effects& effects) {
    if (!app.updater.HasPendingRequest()) return;
    app.machine.requestPending = true;
    StartReleaseCheck(app, effects);
}

void OnSelfUpdateFinished(AppState& app, Effects& effects, std::unique_ptr<SelfUpdateResult> result) {
    effects.StopTimer(TimerId::Progress);
    if (result->ok) {
        effects.DestroyMainWindow();
        return;
    }
    app.selfUpdateFailed = true;
    app.selfUpdateError = std::move(result->error);
    RefreshInstallState(app, effects);
    ProcessRequests(app, effects);
}

void OnNewsLoaded(AppState& app, Effects& effects, std::unique_ptr<NewsResult> result) {
    app.newsLoaded = true;
    if (result->ok) app.news = std::move(result->items);
    effects.Repaint();
}

void OnTimer(AppState& app, Effects& effects, TimerId id) {
    if (id == TimerId::RequestRetry) {
        if (!LauncherBusy(app.machine)) ProcessRequests(app, effects);
    } else if (id == TimerId::News) {
        StartNewsRefresh(app, effects);
    } else if (app.machine.state == LauncherState::Updating) {
        SampleSpeed(app, effects);
        effects.Repaint();
    } else if (app.machine.state == LauncherState::SelfUpdating) {
        effects.Repaint();
    }
}

namespace {

template <typename Payload, typename Handler>
void Deliver(AppState& app, Effects& effects, UINT message, LPARAM lParam, Handler handler) {
    if (std::unique_ptr<Payload> payload = TakePayload<Payload>(message, lParam)) {
        handler(app, effects, std::move(payload));
    }
}

}  // namespace

bool HandleTaskMessage(AppState& app, Effects& effects, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case MsgReleaseChecked:
            Deliver<ReleaseCheckResult>(app, effects, message, lParam, OnReleaseChecked);
            return true;
        case MsgUpdateFinished: Deliver<UpdateResult>(app, effects, message, lParam, OnUpdateFinished); return true;
        case MsgActivate: OnActivate(app, effects); return true;
        case MsgSelfUpdateFinished:
            Deliver<SelfUpdateResult>(app, effects, message, lParam, OnSelfUpdateFinished);
            return true;
        case MsgNewsLoaded: Deliver<NewsResult>(app, effects, message, lParam, OnNewsLoaded); return true;
        case MsgVerifyFinished:
            Deliver<VerifyResult>(app, effects, message, lParam, OnVerifyFinished);
            return true;
        case MsgRuntimeFinished:
            Deliver<RuntimeFinished>(app, effects, message, lParam, OnRuntimeFinished);
            return true;
        case WM_TIMER: OnTimer(app, effects, static_cast<TimerId>(wParam)); return true;
        default: return false;
    }
}

}  // namespace vk
