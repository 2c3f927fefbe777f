#include "controller/app_state.h"

#include <exception>
#include <set>

#include "engine/install_layout.h"
#include "engine/install_state.h"
#include "engine/launcher_version.h"
#include "engine/versions_portable.h"
#include "infra/files.h"
#include "infra/language_portable.h"
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

// Whether the installation holds the release with the selected groups; a request that cannot be
// merged leaves the question open, so an update is offered and the notice says why.
bool InstallationMatches(AppState& app, const Updater& updater) {
    try {
        return updater.IsUpToDate(app.release, app.installed);
    } catch (const std::exception& e) {
        app.requestNote = Utf8ToWide(e.what());
        return false;
    }
}

}  // namespace

Updater MakeUpdater(const AppState& app) {
    return Updater{app.updateBaseUrl, app.updateChannel, app.publicKeyPem,
                   app.installDir,    app.gameUserDir,   app.cacheDir};
}

void UseUpdaterValues(AppState& app, const Updater& updater) {
    app.updateBaseUrl = updater.baseUrl;
    app.updateChannel = updater.channel;
    app.publicKeyPem = updater.publicKeyPem;
    app.installDir = updater.installDir;
    app.gameUserDir = updater.gameUserDir;
    app.cacheDir = updater.cacheDir;
}

bool HasInstallation(const AppState& app) { return !app.installed.buildId.empty() || !app.installed.files.empty(); }

bool LauncherBusy(const AppState& app) {
    return IsBusy(app.state) && !(app.state == LauncherState::Checking && !app.releaseCheckRunning);
}

void SetState(AppState& app, Effects& effects, LauncherState state, std::wstring text) {
    app.state = state;
    ++app.stateChanges;
    app.statusText = std::move(text);
    app.pauseRequested = false;
    effects.Repaint();
}

void ReloadFullMapFlag(AppState& app) {
    const Updater updater = MakeUpdater(app);
    try {
        const std::set<std::string> groups =
            app.releaseKnown ? updater.LoadSelectedGroups(app.release) : SavedGroups(updater);
        app.fullMapSelected = groups.contains(kFullMapGroup);
        app.requestNote.clear();
    } catch (const std::exception& e) {
        app.requestNote = Utf8ToWide(e.what());
    }
}

void RefreshInstallState(AppState& app, Effects& effects) {
    ReloadFullMapFlag(app);
    const Updater updater = MakeUpdater(app);
    try {
        updater.WriteInstallInfo(app.release, ExecutablePath());
    } catch (const std::exception&) {
        // Facts for other programs; the launcher works without them.
    }
    if (CompareVersions(LauncherVersion, app.release.minLauncherVersion) < 0) {
        std::wstring text = !app.selfUpdateError.empty()
                                ? app.selfUpdateError
                                : Localized(L"Please download the new launcher.", L"请下载新版启动器后再更新。");
        SetState(app, effects, LauncherState::LauncherTooOld, std::move(text));
        return;
    }
    if (!HasInstallation(app)) {
        SetState(app, effects, LauncherState::NotInstalled, {});
        return;
    }
    const bool upToDate = InstallationMatches(app, updater);
    const bool missing = upToDate && !IsRegularFile(JoinPath(app.installDir, DiskPathOf(app.release.launchPath)));
    SetState(app, effects, upToDate && !missing ? LauncherState::Ready : LauncherState::UpdateAvailable, {});
}

bool SelfUpdateNeeded(const AppState& app) {
    const std::string& offered = app.release.launcher.launcherVersion;
    return app.selfUpdateEnabled && !app.selfUpdateFailed && !offered.empty() &&
           CompareVersions(offered, LauncherVersion) > 0;
}

void SampleSpeed(AppState& app, Effects& effects) { app.speed.Sample(app.progress, effects.Now()); }

}  // namespace vk
