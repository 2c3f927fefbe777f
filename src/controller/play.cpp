#include "controller/play.h"

#include "controller/commands.h"
#include "controller/task_job.h"
#include "controller/tasks.h"
#include "engine/install_decision.h"
#include "engine/verify.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "platform/game_launch.h"
#include "platform/runtime_host.h"
#include "ui/commands.h"

namespace vk {

namespace {

std::wstring QuestionText(const std::string& problem) {
    return Utf8ToWide(GameFileProblemMessage(problem)) +
           Localized(
               L"\n\nYes: repair official files and restart.\nNo: start offline.\nCancel: return to the launcher.",
               L"\n\n是：修复官方文件并重启。\n否：继续离线启动。\n取消：返回启动器。");
}

// A request of another program that arrived during the file check wins over the game start when it
// has work: judging the installation again merges a content request in, so its groups make an
// update due. False when there is nothing to do for it; the game then starts as the press asked.
bool TakeUpRequest(AppState& app, Effects& effects) {
    RefreshInstallState(app, effects);
    ProcessRequests(app, effects);
    if (app.machine.state != LauncherState::Ready || app.machine.repairPending || app.updater.RepairRequested())
        return true;
    app.machine.requestPending = false;
    return false;
}

}  // namespace

void StartLaunchVerify(AppState& app, Effects& effects) {
    if (!MayHappen(app.machine, LauncherEvent::VerifyStarted)) return;
    ResetProgress(app);
    const TaskKind task = *Enter(app.machine, effects, LauncherEvent::VerifyStarted).task;
    effects.ArmTimer(TimerId::Progress, kProgressPeriodMs);
    const Updater& updater = app.updater;
    UpdateProgress* progress = &app.progress;
    const std::atomic<bool>* stop = &app.stopRequested;
    effects.StartTask(MakeTask<VerifyResult>(task, app.window, MsgVerifyFinished,
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
    Enter(app.machine, effects, LauncherEvent::VerifyEnded);
    if (app.machine.requestPending && app.updater.HasPendingRequest() && TakeUpRequest(app, effects)) return;
    if (result->cancelled) return;
    if (result->problem.empty()) {
        app.machine.offlineLaunch = false;
        StartGameAfterRuntime(app, effects);
        return;
    }
    const std::uint64_t asked = app.machine.stateChanges;
    const int answer = effects.ShowMessage(QuestionText(result->problem), MB_YESNOCANCEL | MB_ICONWARNING);
    // The box runs its own message loop: an update may have started or the window closed meanwhile, and
    // then neither a repair nor a game start is what the player answered.
    if (!effects.WindowExists() || app.machine.stateChanges != asked) return;
    if (answer == IDYES) {
        app.machine.repairPending = true;
        ProcessRequests(app, effects);
    } else if (answer == IDNO) {
        app.machine.offlineLaunch = true;
        StartGameAfterRuntime(app, effects);
    }
}

void PlayOffline(AppState& app, Effects& effects) {
    if (!MayRun(app, CmdPlayOffline)) return;
    app.machine.offlineLaunch = true;
    StartGameAfterRuntime(app, effects);
}

bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay, RuntimeHost host) {
    // The note belongs to the last step: a runtime found now, or a new step, makes it stale.
    if (!app.runtimeNote.empty()) {
        app.runtimeNote.clear();
        effects.Repaint();
    }
    if (EvaluateRuntime(host.GetFacts()) != kRuntimeMissing) return false;
    const TaskKind task = *Enter(app.machine, effects, LauncherEvent::RuntimeStarted).task;
    effects.StartTask(MakeTask<RuntimeFinished>(task, app.window, MsgRuntimeFinished,
                                                [host = std::move(host), thenPlay](RuntimeFinished& result) {
                                                    result.thenPlay = thenPlay;
                                                    result.outcome = EnsureRuntime(host);
                                                }));
    return true;
}

bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay) {
    return StartRuntimeStep(app, effects, thenPlay,
                            effects.RuntimeHostFor(app.release, app.updater.installDir,
                                                   JoinPath(app.updater.cacheDir, kRuntimeSetupFolder)));
}

void StartGameAfterRuntime(AppState& app, Effects& effects) {
    if (!StartRuntimeStep(app, effects, true)) LaunchGame(app, effects);
}

void OnRuntimeFinished(AppState& app, Effects& effects, std::unique_ptr<RuntimeFinished> result) {
    const RuntimeOutcome& outcome = result->outcome;
    const bool runtimeFine = outcome.kind == RuntimePresent || outcome.kind == RuntimeInstalled;
    app.runtimeNote = runtimeFine ? std::wstring() : RuntimeMessage(outcome);
    if (app.machine.state != LauncherState::PreparingRuntime) {
        effects.Repaint();
        return;
    }
    // An offline start after an expired manifest returns to where it came from: no release to play or
    // update from is known.
    if (app.offlineOnly) {
        Enter(app.machine, effects, LauncherEvent::RuntimeEndedWithoutRelease, Utf8ToWide(ReleaseExpiredMessage()));
    } else {
        Enter(app.machine, effects, LauncherEvent::RuntimeEnded);
    }
    if (app.machine.requestPending) {
        StartReleaseCheck(app, effects);
    } else if (runtimeFine && result->thenPlay) {
        LaunchGame(app, effects);
    }
}

void LaunchGame(AppState& app, Effects& effects) {
    const std::wstring& folder = app.updater.installDir;
    const std::wstring executable = GameExecutablePath(folder, app.release.launchPath);
    const unsigned long error = effects.StartGame(
        executable, GameCommandLine(executable, app.release.launchArgs, app.machine.offlineLaunch), folder);
    if (error != 0) {
        effects.ShowMessage(Localized(L"Cannot start the game: ", L"无法启动游戏：") + SystemErrorText(error),
                            MB_ICONERROR);
        return;
    }
    effects.Minimize();
}

}  // namespace vk
