#pragma once
// The launcher replaces its own executable: the new file is written beside it, the running image is
// moved aside (never overwritten), the new executable is started and the old process exits only once
// the new one reports through a named event that its window is up. Whatever goes wrong before that,
// a whole launcher executable stays at the original name and the message says which one.
#include <string>

#include "platform/retrying_files.h"

namespace vk {

// The files of a swap beside the launcher executable.
struct LauncherFiles {
    std::wstring exe;
    std::wstring newExe;       // exe + ".new"
    std::wstring newExeTemp;   // exe + ".new.tmp", through which the new file is written
    std::wstring previousExe;  // exe + ".old"

    static LauncherFiles Beside(const std::wstring& exe);
    // The files of the running executable.
    static LauncherFiles OfThisProcess();
};

inline constexpr unsigned long kHandOverWaitMs = 30000;
inline constexpr unsigned long kTerminatedSuccessorWaitMs = 5000;

struct SelfUpdateOptions {
    LauncherFiles files = LauncherFiles::OfThisProcess();
    unsigned long handOverWaitMs = kHandOverWaitMs;  // tests shorten the wait for a successor that hangs
    RetryPolicy retry;
    FileOperations* fileOperations = &RealFileOperations();
};

// "Local\VelkarLauncherReady-" + the process id in decimal.
std::wstring ReadyEventName(unsigned long processId);

// True when the new launcher has taken over; the caller then closes its window and the process ends.
// On false, error says why and what is at the executable's name (normally the old launcher again,
// with the single-instance mutex held again).
bool ApplySelfUpdate(const std::string& newExecutable, std::wstring& error,
                     const SelfUpdateOptions& options = SelfUpdateOptions{});

// True while ApplySelfUpdate writes the new launcher and swaps it in: a close or a session end then
// would cut the swap between its renames or abandon a rollback.
bool SelfUpdateSwapInProgress();

// For a close of the window while the new launcher is still being downloaded: true when no swap runs,
// and then the next ApplySelfUpdate returns false without touching anything; false while a swap runs,
// which the close must then wait for.
bool PreventSelfUpdateSwap();

}  // namespace vk
