#include "controller/app_state.h"

#include <exception>
#include <set>

#include "engine/install_decision.h"
#include "engine/install_layout.h"
#include "engine/install_state.h"
#include "engine/launcher_version.h"
#include "engine/versions_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

namespace {

// The groups of groups.json alone: before a release is known, a request cannot be judged yet and waits.
std::set<std::string> SavedGroups(const Updater& updater) {
    std::set<std::string> groups;
    AddGroupsFrom(MetadataPath(updater, kGroupsFile), groups);
    return groups;
}

// What the installation needs; a request that cannot be merged leaves the question open, so an update
// is offered and the notice says why.
InstallVerdict JudgeInstallation(AppState& app) {
    try {
        return DecideInstallState(app.updater, app.release, app.installed);
    } catch (const std::exception& e) {
        app.requestNote = Utf8ToWide(e.what());
        return InstallVerdict::UpdateAvailable;
    }
}

}  // namespace

void SaveSettingsQuietly(const AppState& app) {
    try {
        SaveSettings(app.updater, app.settings);
    } catch (const std::exception&) {
        // The change still applies for this run.
    }
}

void ReloadFullMapFlag(AppState& app) {
    try {
        const std::set<std::string> groups =
            app.releaseKnown ? app.updater.LoadSelectedGroups(app.release) : SavedGroups(app.updater);
        app.fullMapSelected = groups.contains(kFullMapGroup);
        app.requestNote.clear();
    } catch (const std::exception& e) {
        app.requestNote = Utf8ToWide(e.what());
    }
}

void RefreshInstallState(AppState& app, Effects& effects) {
    ReloadFullMapFlag(app);
    try {
        app.updater.WriteInstallInfo(app.release, ExecutablePath());
    } catch (const std::exception&) {
        // Facts for other programs; the launcher works without them.
    }
    switch (JudgeInstallation(app)) {
        case InstallVerdict::LauncherTooOld: {
            std::wstring text =
                !app.selfUpdateError.empty() ? app.selfUpdateError : Utf8ToWide(NewerLauncherNeededMessage());
            Enter(app.machine, effects, LauncherEvent::JudgedLauncherTooOld, std::move(text));
            return;
        }
        case InstallVerdict::NotInstalled: Enter(app.machine, effects, LauncherEvent::JudgedNotInstalled); return;
        case InstallVerdict::UpdateAvailable: Enter(app.machine, effects, LauncherEvent::JudgedUpdateAvailable); return;
        case InstallVerdict::Ready: Enter(app.machine, effects, LauncherEvent::JudgedReady); return;
    }
}

bool SelfUpdateNeeded(const AppState& app) {
    const std::string& offered = app.release.launcher.launcherVersion;
    return app.settings.selfUpdateEnabled && !app.selfUpdateFailed && !offered.empty() &&
           CompareVersions(offered, LauncherVersion) > 0;
}

void SampleSpeed(AppState& app, Effects& effects) { app.speed.Sample(app.progress, effects.Now()); }

}  // namespace vk
