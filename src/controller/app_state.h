#pragma once
// The launcher record: one per process, owned by the interface thread, and the steps every handler
// shares to decide the state after a result.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "controller/effects.h"
#include "ui/launcher_state.h"
#include "engine/progress.h"
#include "engine/release.h"
#include "engine/updater.h"
#include "platform/news_format_portable.h"
#include "ui/progress_text.h"

namespace vk {

// The optional content group of the full map.
inline constexpr char kFullMapGroup[] = "island";

struct AppState {
    HWND window = nullptr;
    // The drawing objects, DPI, button list and pointer state live beside the record, in LauncherWindow.

    std::vector<NewsItem> news;
    bool newsLoaded = false;
    std::int64_t newsScroll = 0;
    std::uint64_t newsVisibleRows = 0;

    // The configuration, in the order of the Updater's members.
    std::string updateBaseUrl;
    std::string updateChannel;
    std::string publicKeyPem;
    std::wstring installDir;
    std::wstring gameUserDir;
    std::wstring cacheDir;

    LauncherState state = LauncherState::Checking;
    // Counts the state changes, so that an answer to a question can tell whether anything happened
    // while the question was open.
    std::uint64_t stateChanges = 0;
    std::wstring statusText;
    // A release check's result is still to come. Checking without one is the state before the first
    // check, and the moment a check's result is being handled.
    bool releaseCheckRunning = false;
    bool releaseKnown = false;
    // The last check refused the manifest as expired, and its build is the one installed: release
    // holds it, not to update from but for a start of the game without the server.
    bool offlineOnly = false;
    bool serverOnline = false;
    RemoteRelease release;
    InstalledState installed;
    LauncherInfo cachedLauncherInfo;
    std::string loadedBannerSha256;

    // Shared with the update and file-check workers.
    UpdateProgress progress;
    std::atomic<bool> stopRequested{false};

    bool repairMode = false;
    bool offlineLaunch = false;
    bool repairPending = false;
    bool requestPending = false;
    bool customSource = false;
    bool installDirChosen = false;
    bool selfUpdateEnabled = true;
    bool selfUpdateFailed = false;
    std::wstring selfUpdateError;
    std::wstring runtimeNote;
    std::atomic<std::uint64_t> selfUpdateBytes{0};
    bool pauseRequested = false;
    bool fullMapSelected = false;
    // Why another program's content request could not be merged into the group selection; shown as
    // a notice while it lasts. The previous selection stays in effect meanwhile.
    std::wstring requestNote;

    SpeedEstimator speed;
};

// A fresh engine for the record's configuration.
Updater MakeUpdater(const AppState& app);
// The record's configuration from an engine's values: what MakeUpdater gives back.
void UseUpdaterValues(AppState& app, const Updater& updater);

// Something is installed: a build id or a non-empty file map.
bool HasInstallation(const AppState& app);

// No new work may start: a busy state, unless it is a Checking that no check is running for.
bool LauncherBusy(const AppState& app);

// Every state change: sets the state and its text, clears pauseRequested, repaints.
void SetState(AppState& app, Effects& effects, LauncherState state, std::wstring text);

// Decides between LauncherTooOld, NotInstalled, UpdateAvailable and Ready from the release and the
// installed state, after publishing the install's facts for other programs.
void RefreshInstallState(AppState& app, Effects& effects);

// The release offers a newer launcher, self-update is enabled and has not failed in this run.
bool SelfUpdateNeeded(const AppState& app);

// fullMapSelected from the install's group selection. Once a release is known, a waiting content
// request of another program is merged in first (only groups the release defines); a merge that
// fails keeps the previous flag and leaves its message in requestNote.
void ReloadFullMapFlag(AppState& app);

// Takes one speed sample of the running download.
void SampleSpeed(AppState& app, Effects& effects);

}  // namespace vk
