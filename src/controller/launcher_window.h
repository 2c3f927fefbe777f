#pragma once
// The launcher's one window: the launcher record with the drawing objects, the screen's button list
// and the pointer over it. Interface thread only.
#include <windows.h>

#include <atomic>
#include <memory>

#include "controller/app_state.h"
#include "controller/window_effects.h"
#include "platform/disk_space.h"
#include "ui/renderer.h"
#include "ui/screen.h"

namespace vk {

struct LauncherWindow {
    LauncherWindow();
    LauncherWindow(const LauncherWindow&) = delete;
    LauncherWindow& operator=(const LauncherWindow&) = delete;

    AppState app;
    Renderer renderer;
    Screen screen;
    unsigned dpi = 96;
    int pressedCommand = 0;  // the command under the button-down, 0 for none
    bool leaveTracking = false;
    // The free-space query repaints from its own thread, possibly after the window is gone.
    std::shared_ptr<std::atomic<HWND>> repaintTarget = std::make_shared<std::atomic<HWND>>(nullptr);
    DiskSpaceMonitor disk;
    WindowEffects effects;
};

// One frame from the record into the window.
void PaintLauncher(LauncherWindow& window);

}  // namespace vk
