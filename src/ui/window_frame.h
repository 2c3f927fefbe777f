#pragma once
// The window's size and its place on the screen.
#include <windows.h>

namespace vk {

// The window in DIPs; its client area is the whole window.
inline constexpr float kWindowWidth = 1000;
inline constexpr float kWindowHeight = 640;
// The header row: the drag region and the caption buttons.
inline constexpr float kHeaderHeight = 36;

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

// The window sized for the DPI and centred in the rectangle (a monitor's work area, or the window's
// own place when the DPI changes), even when larger.
Placement PlacementFor(const RECT& area, unsigned dpi);

// Sizes and centres the window on the monitor under the cursor (the primary one when the cursor is
// outside every monitor).
void PlaceWindow(HWND window);

}  // namespace vk
