#include "controller/launcher_window.h"

#include "controller/launcher_view_of.h"
#include "platform/runtime_host.h"
#include "platform/self_update.h"
#include "ui/window_paint.h"

namespace vk {

namespace {

std::function<void()> RepaintOf(const std::shared_ptr<std::atomic<HWND>>& target) {
    return [target] {
        if (const HWND window = target->load()) InvalidateRect(window, nullptr, FALSE);
    };
}

}  // namespace

LauncherWindow::LauncherWindow()
    : disk(QueryFreeSpace, RepaintOf(repaintTarget)),
      effects(app, WindowServices{
                       .applySelfUpdate = [](const std::string& executable,
                                             std::wstring& message) { return ApplySelfUpdate(executable, message); },
                       .runtimeHost = MakeRuntimeHost,
                       .setBackgroundImage =
                           [this](const std::string& bytes) { return renderer.SetBackgroundImage(bytes); }}) {}

void PaintLauncher(LauncherWindow& window) {
    AppState& app = window.app;
    PaintWindow(window.renderer, window.screen,
                ViewOf(app, window.disk.FreeBytes(app.updater.installDir, GetTickCount64())));
}

}  // namespace vk
