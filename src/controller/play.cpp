#include "controller/play.h"

#include "controller/commands.h"
#include "controller/task_job.h"
#include "controller/tasks.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "platform/runtime_host.h"
#include "ui/commands.h"

namespace vk {

namespace {

// The game starts once the runtime is known to be there; otherwise the runtime step starts it.
void StartGame(Effects& effects) {
    if (!effects.StartRuntimeCheck(true)) effects.LaunchGame();
}

std::wstring QuestionText(const std::string& problem) {
    return Localized(L"Game file missing or changed: ", L"发现游戏文件缺失或不一致：") + Utf8ToWide(problem) +
           Localized(L"\n\nYes: repair official files and restart.\nNo: start offline.\nCancel: return to the launcher.",
                     L"\n\n是：修复官方文件并重启。\n否：继续离线启动。\n取消：返回启动器。");
}

// A request of another program that arrived during the file check wins over the game start when it
// has work: judging the installation again merges a content request in, so its groups make an
// update due. False when there is nothing to do for it; the game then starts as the press asked.
bool TakeUpRequest(AppState& app, Effects& effects) {
    RefreshInstallState(app, effects);
    ProcessRequests(app, effects);
    if (app.state != LauncherState::Ready || app.repairPending || MakeUpdater(app).RepairRequested()) return true;
    app.requestPending = false;
    return false;
}

}  // namespace

void StartLaunchVerify(AppState& app, Effects& effects) {
    if (LauncherBusy(app)) return;
    ResetProgress(app);
    SetState(app, effects, LauncherState::Updating, {});
    effects.ArmTimer(TimerId::Progress, kProgressPeriodMs);
    const Updater updater = MakeUpdater(app);
    UpdateProgress* progress = &app.progress;
    const std::atomic<bool>* stop = &app.stopRequested;
    effects.StartTask(MakeTask<VerifyResult>(TaskKind::LaunchVerify, app.window, MsgVerifyFinished,
                                             [updater, release = app.release, progress, stop](VerifyResult& result) {
                                                 try {
                                                     result.problem = updater.VerifyForLaunch(release, *progress, *stop);
                                                 } catch (const Cancelled&) {
                                                     result.cancelled = true;
                                                 }
                                             }));
}

void OnVerifyFinished(AppState& app, Effects& effects, std::unique_ptr<VerifyResult> result) {
    effects.StopTimer(TimerId::Progress);
    SetState(app, effects, LauncherState::Ready, {});
    if (app.requestPending && MakeUpdater(app).HasPendingRequest() && TakeUpRequest(app, effects)) return;
    if (result->cancelled) return;
    if (result->problem.empty()) {
        app.offlineLaunch = false;
        StartGame(effects);
        return;
    }
    const std::uint64_t asked = app.stateChanges;
    const int answer = effects.ShowMessage(QuestionText(result->problem), MB_YESNOCANCEL | MB_ICONWARNING);
    // The box runs its own message loop: an update may have started or the window closed meanwhile, and
    // then neither a repair nor a game start is what the player answered.
    if (!effects.WindowExists() || app.stateChanges != asked) return;
    if (answer == IDYES) {
        app.repairPending = true;
        ProcessRequests(app, effects);
    } else if (answer == IDNO) {
        app.offlineLaunch = true;
        StartGame(effects);
    }
}

void PlayOffline(AppState& app, Effects& effects) {
    if (!CommandEnabled(CmdPlayOffline, FactsOf(app))) return;
    app.offlineLaunch = true;
    StartGame(effects);
}

bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay, RuntimeHost host) {
    // The note belongs to the last step: a runtime found now, or a new step, makes it stale.
    if (!app.runtimeNote.empty()) {
        app.runtimeNote.clear();
        effects.Repaint();
    }
    if (EvaluateRuntime(host.GetFacts()) != kRuntimeMissing) return false;
    SetState(app, effects, LauncherState::PreparingRuntime, {});
    effects.StartTask(MakeTask<RuntimeFinished>(TaskKind::RuntimeInstall, app.window, MsgRuntimeFinished,
                                                [host = std::move(host), thenPlay](RuntimeFinished& result) {
                                                    result.thenPlay = thenPlay;
                                                    result.outcome = EnsureRuntime(host);
                                                }));
    return true;
}

bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay) {
    return StartRuntimeStep(app, effects, thenPlay,
                            MakeRuntimeHost(app.release, app.installDir, JoinPath(app.cacheDir, kRuntimeSetupFolder)));
}

void OnRuntimeFinished(AppState& app, Effects& effects, std::unique_ptr<RuntimeFinished> result) {
    const RuntimeOutcome& outcome = result->outcome;
    const bool runtimeFine = outcome.kind == RuntimePresent || outcome.kind == RuntimeInstalled;
    app.runtimeNote = runtimeFine ? std::wstring() : RuntimeMessage(outcome);
    if (app.state != LauncherState::PreparingRuntime) {
        effects.Repaint();
        return;
    }
    // An offline start after an expired manifest returns to where it came from: no release to play or
    // update from is known.
    if (app.offlineOnly) {
        SetState(app, effects, LauncherState::CheckFailed, Utf8ToWide(ReleaseExpiredMessage()));
    } else {
        SetState(app, effects, LauncherState::Ready, {});
    }
    if (app.requestPending) {
        StartReleaseCheck(app, effects);
    } else if (runtimeFine && result->thenPlay) {
        effects.LaunchGame();
    }
}

}  // namespace vk
