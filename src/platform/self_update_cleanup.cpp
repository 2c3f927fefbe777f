#include "platform/self_update_cleanup.h"

#include <windows.h>

#include <system_error>
#include <thread>

#include "infra/files.h"
#include "infra/handles.h"

namespace vk {

namespace {

void SignalReady(unsigned long previousProcessId) {
    const UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, ReadyEventName(previousProcessId).c_str()));
    if (ready) SetEvent(ready.get());
}

// The predecessor still runs from exe.old until it has closed its window.
void WaitForPredecessor(unsigned long previousProcessId) {
    if (previousProcessId == 0) return;
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, previousProcessId));
    if (process) WaitForSingleObject(process.get(), kPredecessorWaitMs);
}

void CleanUp(unsigned long previousProcessId, const CleanupOptions& options) {
    WaitForPredecessor(previousProcessId);
    const LauncherFiles& swap = options.files;
    for (unsigned attempt = 0; attempt < kPreviousExeDeleteAttempts && IsRegularFile(swap.previousExe); ++attempt) {
        if (DeleteFileW(swap.previousExe.c_str())) break;
        Sleep(kPreviousExeDeletePauseMs);
    }
    DeleteFileW(swap.newExe.c_str());
    DeleteFileW(swap.newExeTemp.c_str());
    if (options.finished) options.finished();
}

}  // namespace

void SignalReadyAndClean(unsigned long previousProcessId, const CleanupOptions& options) {
    if (previousProcessId != 0) SignalReady(previousProcessId);
    try {
        std::thread([previousProcessId, options] { CleanUp(previousProcessId, options); }).detach();
    } catch (const std::system_error&) {
        // Without a thread the leftovers stay for the next start's clean-up.
    }
}

}  // namespace vk
