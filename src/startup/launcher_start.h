#pragma once
// The launcher's process from start to end: the single-instance hand-over, the configuration, the
// window and its message loop.
#include <windows.h>

namespace vk {

// Runs the launcher and returns its exit code: 0 after a normal run and after waking a running
// launcher, 1 without an update source.
int RunLauncher(HINSTANCE instance, int showCommand);

}  // namespace vk
