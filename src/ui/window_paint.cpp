#include "ui/window_paint.h"

#include "ui/palette.h"

namespace vk {

void PaintWindow(Renderer& renderer, Screen& screen, const LauncherView& view) {
    if (!renderer.EnsureTarget()) return;
    renderer.BeginFrame(palette::kWindowBackground);
    screen.Paint(renderer, view);
    if (renderer.EndFrame()) {
        renderer.DiscardDeviceResources();
        if (renderer.Window() != nullptr) InvalidateRect(renderer.Window(), nullptr, FALSE);
    }
}

}  // namespace vk
