#pragma once
// The launcher window's class and procedure: everything the player does and every background
// result arrives here.
#include <windows.h>

#include "controller/launcher_window.h"

namespace vk {

// Also how a second launcher start finds the running one.
inline constexpr wchar_t kWindowClass[] = L"VelkarLauncher";

// Registers the class and creates the window (1 × 1 until placed) for the record, which must outlive
// it. Null when Windows refuses either.
HWND CreateLauncherWindow(LauncherWindow& window, HINSTANCE instance);

}  // namespace vk
