#pragma once
// Everything one frame of the window shows, as plain values: the controller fills it from its
// record before each paint and the panels only read it.
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/commands.h"
#include "ui/launcher_state.h"
#include "ui/progress_numbers.h"

namespace vk {

// One news item in both languages.
struct NewsEntry {
    std::wstring date;
    std::wstring titleEn;
    std::wstring titleZh;
    std::wstring bodyEn;
    std::wstring bodyZh;
};

struct LauncherView {
    LauncherState state = LauncherState::Checking;
    std::wstring statusText;  // the state's message: an error text in the failed states
    bool pauseRequested = false;
    // Whether each command may run now, by the controller's rule: a button whose command may not is
    // greyed out.
    std::bitset<kCommandLimit> enabled;

    ProgressNumbers progress;
    double bytesPerSecond = 0;  // 0 while there is no estimate

    bool releaseKnown = false;
    std::wstring releaseVersion;         // projectVersion of the current release
    std::uint64_t releaseTotalSize = 0;  // all files of every group
    std::uint64_t fullMapSize = 0;       // the optional group "island" of the current release
    bool fullMapSelected = false;
    bool installed = false;            // installed state has a build id or files
    std::uint64_t installedBytes = 0;  // sum of the installed files' sizes

    std::wstring installDir;
    std::uint64_t diskFreeBytes = 0;  // last known free space of the install volume; 0 unknown

    bool serverOnline = false;
    bool customSource = false;

    std::wstring selfUpdateError;
    std::wstring runtimeNote;
    std::wstring requestNote;  // why another program's content request could not be taken up

    std::wstring newLauncherVersion;  // the launcher being installed by a self-update
    std::uint64_t newLauncherSize = 0;
    std::uint64_t selfUpdateBytes = 0;

    std::vector<NewsEntry> news;
    bool newsLoaded = false;
};

}  // namespace vk
