#pragma once
// Writing to the console or to a redirected stream, and the stop flag that Ctrl+C and closing
// the console set.
#include <windows.h>

#include <atomic>
#include <string>

namespace vk::headless {

// Text to standard output or standard error: wide text on a console, UTF-8 when redirected.
void WriteOut(const std::string& utf8);
void WriteErr(const std::string& utf8);
void WriteErr(const std::wstring& text);

// Whether standard error is a console (live progress line) or a file or pipe.
bool ErrIsConsole();

// Set by Ctrl+C, Ctrl+Break and closing the console; the work then stops at its next check point.
extern std::atomic<bool> stopRequested;

// Installs the handler. Closing the console waits (briefly) until WorkFinished is called, so
// that what was downloaded is on disk when the process is ended.
void InstallStopHandler();
void WorkFinished();

// The handler itself: sets the stop flag and, for a closing console, waits for WorkFinished.
BOOL WINAPI OnConsoleEvent(DWORD event);

}  // namespace vk::headless
