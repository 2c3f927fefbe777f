#pragma once
// The window's first and last moments: what it prepares when created, and what it lets go of when
// destroyed, while COM is still there to take it.
#include <windows.h>

#include "controller/launcher_window.h"

namespace vk {

// Drawing, the title-card picture, the installed state, the news timer and the first release check.
void OnCreate(LauncherWindow& window, HWND handle);

// The drawing objects are COM objects: released now, before the entry point leaves the apartment.
void OnDestroy(LauncherWindow& window);

}  // namespace vk
