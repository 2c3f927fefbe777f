#pragma once
// The private window messages that end every background task, their payloads, and the window's timers.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/release.h"
#include "platform/runtime.h"
#include "platform/news_format_portable.h"

namespace vk {

// Each message carries a heap payload in lParam (wParam 0), except MsgActivate, which a second
// launcher start posts without one.
inline constexpr UINT MsgReleaseChecked = WM_APP + 1;
inline constexpr UINT MsgUpdateFinished = WM_APP + 2;
inline constexpr UINT MsgActivate = WM_APP + 3;
inline constexpr UINT MsgSelfUpdateFinished = WM_APP + 4;
inline constexpr UINT MsgNewsLoaded = WM_APP + 5;
inline constexpr UINT MsgRuntimeFinished = WM_APP + 6;
inline constexpr UINT MsgVerifyFinished = WM_APP + 7;

struct ReleaseCheckResult {
    bool ok = false;
    std::string error;
    // The check refused a manifest past its expiry; release and installed are still filled.
    bool expired = false;
    RemoteRelease release;
    InstalledState installed;
    std::string banner;  // the banner picture's bytes; empty when the release names none
};

struct UpdateResult {
    bool ok = false;
    bool cancelled = false;
    std::string error;
};

struct SelfUpdateResult {
    bool ok = false;
    std::wstring error;
};

struct VerifyResult {
    bool cancelled = false;
    std::string problem;  // the first missing or changed file, an extra package or an error; empty: all good
};

struct RuntimeFinished {
    RuntimeOutcome outcome;
    bool thenPlay = false;  // start the game afterwards when the outcome allows it
};

// A failed refresh still sends a payload (ok false), so that a message without one is never ours.
struct NewsResult {
    bool ok = false;
    std::vector<NewsItem> items;
};

// Timer ids of the main window.
enum class TimerId : UINT_PTR { Progress = 1, News = 2, RequestRetry = 3 };

inline constexpr unsigned kProgressPeriodMs = 250;
inline constexpr unsigned kSelfUpdateProgressPeriodMs = 100;
inline constexpr unsigned kNewsPeriodMs = 300000;
inline constexpr unsigned kRequestRetryPeriodMs = 500;

}  // namespace vk
