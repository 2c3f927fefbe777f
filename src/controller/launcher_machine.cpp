#include "controller/launcher_machine.h"

#include <array>

#include "controller/app_state.h"
#include "engine/release_sizes.h"
#include "ui/commands.h"

namespace vk {

namespace {

using enum LauncherEvent;
using S = LauncherState;

constexpr std::array kTransitions{
    Transition{CheckStarted, S::Checking, TaskKind::ReleaseCheck, true},
    Transition{CheckFailed, S::CheckFailed, std::nullopt, false},
    Transition{UpdateStarted, S::Updating, TaskKind::Update, true},
    Transition{UpdateStopped, S::Paused, std::nullopt, false},
    Transition{UpdateFailed, S::UpdateFailed, std::nullopt, false},
    Transition{VerifyStarted, S::Updating, TaskKind::LaunchVerify, true},
    Transition{VerifyEnded, S::Ready, std::nullopt, false},
    Transition{SelfUpdateStarted, S::SelfUpdating, TaskKind::SelfUpdate, true},
    Transition{RuntimeStarted, S::PreparingRuntime, TaskKind::RuntimeInstall, false},
    Transition{RuntimeEnded, S::Ready, std::nullopt, false},
    Transition{RuntimeEndedWithoutRelease, S::CheckFailed, std::nullopt, false},
    Transition{JudgedLauncherTooOld, S::LauncherTooOld, std::nullopt, false},
    Transition{JudgedNotInstalled, S::NotInstalled, std::nullopt, false},
    Transition{JudgedUpdateAvailable, S::UpdateAvailable, std::nullopt, false},
    Transition{JudgedReady, S::Ready, std::nullopt, false},
};

constexpr bool TableFollowsEvents() {
    for (std::size_t i = 0; i < kTransitions.size(); ++i) {
        if (static_cast<std::size_t>(kTransitions[i].event) != i) return false;
    }
    return true;
}
static_assert(TableFollowsEvents(), "one row per event, in the order of the events");

// No new work starts, and the folder and full-map buttons are disabled.
bool IsBusy(LauncherState state) {
    switch (state) {
        case LauncherState::Checking:
        case LauncherState::Updating:
        case LauncherState::SelfUpdating:
        case LauncherState::PreparingRuntime: return true;
        default: return false;
    }
}

bool PrimaryEnabled(const CommandFacts& facts) {
    switch (facts.state) {
        case LauncherState::Checking:
        case LauncherState::LauncherTooOld:
        case LauncherState::SelfUpdating:
        case LauncherState::PreparingRuntime: return false;
        default: return !facts.pauseRequested;
    }
}

bool RepairEnabled(const CommandFacts& facts) {
    return facts.releaseKnown && facts.installed && !IsBusy(facts.state) &&
           facts.state != LauncherState::LauncherTooOld;
}

}  // namespace

const Transition& TransitionOf(LauncherEvent event) { return kTransitions.at(static_cast<std::size_t>(event)); }

bool LauncherBusy(const LauncherMachine& machine) {
    return IsBusy(machine.state) && !(machine.state == LauncherState::Checking && !machine.releaseCheckRunning);
}

bool MayHappen(const LauncherMachine& machine, LauncherEvent event) {
    return !TransitionOf(event).needsIdle || !LauncherBusy(machine);
}

const Transition& Enter(LauncherMachine& machine, Effects& effects, LauncherEvent event, std::wstring text) {
    const Transition& transition = TransitionOf(event);
    machine.state = transition.next;
    ++machine.stateChanges;
    machine.statusText = std::move(text);
    machine.pauseRequested = false;
    if (event == CheckStarted) machine.releaseCheckRunning = true;
    effects.Repaint();
    return transition;
}

bool CommandEnabled(int command, const CommandFacts& facts) {
    switch (command) {
        case CmdClose:
        case CmdMinimize:
        case CmdLanguage: return true;
        case CmdPrimary: return PrimaryEnabled(facts);
        case CmdInstallFolder:
        case CmdFullMap: return !IsBusy(facts.state);
        case CmdRepair: return RepairEnabled(facts);
        case CmdPlayOffline:
            return facts.state == LauncherState::Ready ||
                   (facts.state == LauncherState::CheckFailed && facts.offlineOnly);
        case CmdInfo: return true;  // only a tooltip: the command itself does nothing
        default: return false;
    }
}

CommandFacts FactsOf(const AppState& app) {
    return {app.machine.state, app.machine.pauseRequested, app.releaseKnown, HasInstallation(app.installed),
            app.offlineOnly};
}

bool MayRun(const AppState& app, int command) { return CommandEnabled(command, FactsOf(app)); }

}  // namespace vk
