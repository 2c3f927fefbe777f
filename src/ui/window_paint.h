#pragma once
// Painting the screen with the real renderer.
#include "ui/launcher_view.h"
#include "ui/renderer.h"
#include "ui/screen.h"

namespace vk {

// One frame into the renderer's target. Without a target nothing is drawn and the button list
// stays as the last frame left it; after a device loss the window is invalidated for a new paint.
void PaintWindow(Renderer& renderer, Screen& screen, const LauncherView& view);

}  // namespace vk
