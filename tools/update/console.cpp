#include "console.h"

#include <windows.h>

#include "infra/handles.h"
#include "infra/text.h"

namespace vk::headless {

std::atomic<bool> stopRequested{false};

namespace {

UniqueHandle workFinished(CreateEventW(nullptr, TRUE, FALSE, nullptr));

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

void Write(DWORD which, const std::wstring& text) {
    const HANDLE handle = GetStdHandle(which);
    DWORD written = 0;
    if (IsConsole(handle)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        const std::string utf8 = WideToUtf8(text);
        WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace

BOOL WINAPI OnConsoleEvent(DWORD event) {
    stopRequested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Windows ends the process when this returns: give the work a moment to stop cleanly.
        WaitForSingleObject(workFinished.get(), 4000);
    }
    return TRUE;
}

void WriteOut(const std::string& utf8) { Write(STD_OUTPUT_HANDLE, Utf8ToWide(utf8)); }
void WriteErr(const std::string& utf8) { Write(STD_ERROR_HANDLE, Utf8ToWide(utf8)); }
void WriteErr(const std::wstring& text) { Write(STD_ERROR_HANDLE, text); }

bool ErrIsConsole() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

void InstallStopHandler() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void WorkFinished() { SetEvent(workFinished.get()); }

}  // namespace vk::headless
