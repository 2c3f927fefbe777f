#include "platform/self_update.h"

#include <windows.h>

#include <mutex>
#include <stdexcept>
#include <utility>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "platform/single_instance.h"

namespace vk {

namespace {

// A swap and a close of the window exclude each other: whichever comes first wins.
std::mutex swapLock;
bool swapInProgress = false;  // guarded by swapLock
bool swapPrevented = false;   // guarded by swapLock

// Marks the swap for the window and the session end while it runs, on every path out; a swap that a
// close has prevented does not begin.
class SwapMark {
public:
    SwapMark() {
        const std::lock_guard<std::mutex> guard(swapLock);
        begun_ = !std::exchange(swapPrevented, false);
        swapInProgress = begun_;
    }
    ~SwapMark() {
        const std::lock_guard<std::mutex> guard(swapLock);
        swapInProgress = false;
    }
    SwapMark(const SwapMark&) = delete;
    SwapMark& operator=(const SwapMark&) = delete;

    bool begun() const { return begun_; }

private:
    bool begun_ = false;
};

// Puts a whole launcher at the executable's name after a failed swap. Empty when the previous launcher
// is back; otherwise the sentence that tells the player what is there now. The previous launcher comes
// back with one replacing move, so the name never stands empty, even when the move has to wait for a
// terminated successor that still maps the new file.
std::wstring RestoreAfterFailure(const SelfUpdateOptions& options) {
    FileOperations& files = *options.fileOperations;
    const LauncherFiles& swap = options.files;
    const unsigned long error = MoveRetried(files, swap.previousExe, swap.exe, true, options.retry);
    if (error == 0) {
        DeleteRetried(files, swap.newExe, options.retry);
        return {};
    }
    if (IsRegularFile(swap.exe) || MoveRetried(files, swap.newExe, swap.exe, false, options.retry) == 0) {
        return Localized(L" The previous launcher could not be restored, so the new one stays in place: ",
                         L"旧版启动器无法恢复，新版启动器保留在原处：") +
               SystemErrorText(error);
    }
    return Localized(L" The launcher could not be put back: ", L"启动器无法复原：") + SystemErrorText(error) +
           Localized(L" The previous launcher is kept as ", L"旧版启动器保存为 ") + FileNameOf(swap.previousExe) +
           Localized(L".", L"。");
}

// Starts the new executable and waits for its ready event. Empty when it has taken over, else why not;
// `released` tells whether the single-instance mutex was handed on and must be taken back.
std::wstring HandOver(const SelfUpdateOptions& options, bool& released) {
    const DWORD self = GetCurrentProcessId();
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, ReadyEventName(self).c_str()));
    if (!ready) return SystemErrorText(GetLastError());
    // An event left signalled under this name by an earlier process must not pass for the successor's.
    ResetEvent(ready.get());
    if (HoldsSingleInstance()) {
        ReleaseSingleInstance();
        released = true;
    }
    const std::wstring& exe = options.files.exe;
    std::wstring commandLine = L"\"" + exe + L"\" --self-updated " + std::to_wstring(self);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        return SystemErrorText(GetLastError());
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    const HANDLE waits[] = {ready.get(), process.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, options.handOverWaitMs) == WAIT_OBJECT_0) return {};
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), kTerminatedSuccessorWaitMs);
    return Localized(L"The new launcher did not start.", L"新版启动器未能启动。");
}

}  // namespace

LauncherFiles LauncherFiles::Beside(const std::wstring& exe) {
    return LauncherFiles{exe, exe + L".new", exe + L".new.tmp", exe + L".old"};
}

LauncherFiles LauncherFiles::OfThisProcess() { return Beside(ExecutablePath()); }

std::wstring ReadyEventName(unsigned long processId) {
    return L"Local\\VelkarLauncherReady-" + std::to_wstring(processId);
}

bool SelfUpdateSwapInProgress() {
    const std::lock_guard<std::mutex> guard(swapLock);
    return swapInProgress;
}

bool PreventSelfUpdateSwap() {
    const std::lock_guard<std::mutex> guard(swapLock);
    if (swapInProgress) return false;
    swapPrevented = true;
    return true;
}

bool ApplySelfUpdate(const std::string& newExecutable, std::wstring& error, const SelfUpdateOptions& options) {
    error.clear();
    const LauncherFiles& swap = options.files;
    FileOperations& files = *options.fileOperations;
    const SwapMark mark;
    // The window is closing: the launcher stays as it is, and nobody is left to read a message.
    if (!mark.begun()) return false;
    try {
        WriteFileAtomic(swap.newExe, newExecutable);
    } catch (const std::exception& failure) {
        error = Utf8ToWide(failure.what());
        return false;
    }
    // A leftover that cannot go makes the next move fail, and that failure is the one to report.
    DeleteRetried(files, swap.previousExe, options.retry);
    if (const unsigned long failed = MoveRetried(files, swap.exe, swap.previousExe, true, options.retry)) {
        error = SystemErrorText(failed);
        DeleteRetried(files, swap.newExe, options.retry);
        return false;
    }
    if (const unsigned long failed = MoveRetried(files, swap.newExe, swap.exe, false, options.retry)) {
        error = SystemErrorText(failed) + RestoreAfterFailure(options);
        return false;
    }
    bool released = false;
    error = HandOver(options, released);
    if (error.empty()) return true;
    error += RestoreAfterFailure(options);
    if (released) AcquireSingleInstance(true);
    return false;
}

}  // namespace vk
