#include "controller/commands.h"

#include <exception>

#include "controller/install_folder.h"
#include "controller/play.h"
#include "controller/tasks.h"
#include "infra/language_portable.h"
#include "ui/commands.h"

namespace vk {

namespace {

void SwitchLanguage(Effects& effects) {
    useEnglish.exchange(!useEnglish.load());
    try {
        effects.SaveSettings();
    } catch (const std::exception&) {
        // The language still switches for this run.
    }
    effects.Repaint();
}

}  // namespace

CommandFacts FactsOf(const AppState& app) {
    return {app.state, app.pauseRequested, app.releaseKnown, HasInstallation(app), app.offlineOnly};
}

void PrimaryAction(AppState& app, Effects& effects) {
    switch (app.state) {
        case LauncherState::CheckFailed: StartReleaseCheck(app, effects); break;
        case LauncherState::NotInstalled:
        case LauncherState::UpdateAvailable: StartUpdate(app, effects, false); break;
        case LauncherState::Paused:
        case LauncherState::UpdateFailed: StartUpdate(app, effects, app.repairMode); break;
        case LauncherState::Ready: StartLaunchVerify(app, effects); break;
        case LauncherState::Updating: RequestPause(app, effects); break;
        default: break;
    }
}

void RunCommand(AppState& app, Effects& effects, int command) {
    if (!CommandEnabled(command, FactsOf(app))) return;
    switch (command) {
        case CmdClose: effects.RequestClose(); break;
        case CmdMinimize: effects.Minimize(); break;
        case CmdLanguage: SwitchLanguage(effects); break;
        case CmdPrimary: PrimaryAction(app, effects); break;
        case CmdInstallFolder: ChooseInstallFolder(app, effects); break;
        case CmdRepair: StartUpdate(app, effects, true); break;
        case CmdPlayOffline: PlayOffline(app, effects); break;
        case CmdFullMap: DownloadFullMap(app, effects); break;
        default: break;  // CmdInfo only carries a tooltip
    }
}

}  // namespace vk
