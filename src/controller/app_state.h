#pragma once
// The launcher record: one per process, owned by the interface thread, and the steps every handler
// shares to decide the state after a result.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "configuration/configuration.h"
#include "controller/effects.h"
#include "controller/launcher_machine.h"
#include "engine/progress.h"
#include "engine/release.h"
#include "engine/updater.h"
#include "platform/news_format_portable.h"
#include "ui/launcher_state.h"
#include "ui/progress_text.h"

namespace vk {

// The optional content group of the full map.
inline constexpr char kFullMapGroup[] = "island";

struct AppState {
    HWND window = nullptr;
    // The drawing objects, DPI, button list and pointer state live beside the record, in LauncherWindow.

    std::vector<NewsItem> news;
    bool newsLoaded = false;
    // The news panel's scroll position lives with the panel, in the window's Screen.

    // The configuration's one home: the engine with where updates come from, the install folder and
    // the cache (each task takes a copy, so a folder chosen meanwhile applies from the next task on),
    // and the launcher's settings.
    Updater updater;
    LauncherSettings settings;

    // The state and the flags of work still pending; launcher_machine.h says what moves them.
    LauncherMachine machine;
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

    bool selfUpdateFailed = false;
    std::wstring selfUpdateError;
    std::wstring runtimeNote;
    std::atomic<std::uint64_t> selfUpdateBytes{0};
    bool fullMapSelected = false;
    // Why another program's content request could not be merged into the group selection; shown as
    // a notice while it lasts. The previous selection stays in effect meanwhile.
    std::wstring requestNote;

    SpeedEstimator speed;
};

// Writes settings.cfg from the record. A file that cannot be written leaves the settings in effect
// for this run; the file keeps its previous content.
void SaveSettingsQuietly(const AppState& app);

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
