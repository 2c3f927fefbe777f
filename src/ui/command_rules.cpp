#include "ui/command_rules.h"

#include "ui/commands.h"

namespace vk {

namespace {

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

CommandFacts FactsOf(const LauncherView& view) {
    return {view.state, view.pauseRequested, view.releaseKnown, view.installed, view.offlineOnly};
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

}  // namespace vk
