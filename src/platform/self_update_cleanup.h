#pragma once
// The start of a launcher: tells the predecessor of a self-update that this one is up, and removes what
// a swap leaves beside the executable once the predecessor has gone.
#include <functional>

#include "platform/self_update.h"

namespace vk {

inline constexpr unsigned long kPredecessorWaitMs = 30000;
inline constexpr unsigned kPreviousExeDeleteAttempts = 20;
inline constexpr unsigned long kPreviousExeDeletePauseMs = 250;

struct CleanupOptions {
    LauncherFiles files = LauncherFiles::OfThisProcess();
    std::function<void()> finished;  // called on the clean-up thread when it is done
};

// Called once the window is shown, with the id after "--self-updated" (0 on an ordinary start): sets the
// predecessor's ready event, then starts the clean-up on a detached thread in every case.
void SignalReadyAndClean(unsigned long previousProcessId, const CleanupOptions& options = CleanupOptions{});

}  // namespace vk
