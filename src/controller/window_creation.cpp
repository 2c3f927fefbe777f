#include "controller/window_creation.h"

#include <dwmapi.h>

#include "configuration/program.h"
#include "controller/tasks.h"
#include "infra/handles.h"
#include "platform/banner.h"

namespace vk {

namespace {

constexpr DWORD kDarkMode = 20;
constexpr DWORD kCornerPreference = 33;
constexpr DWORD kBorderColor = 34;

void SetFrameAttributes(HWND handle) {
    const BOOL dark = TRUE;
    const DWORD round = 2;
    const COLORREF border = 0x00312E2E;
    DwmSetWindowAttribute(handle, kDarkMode, &dark, sizeof dark);
    DwmSetWindowAttribute(handle, kCornerPreference, &round, sizeof round);
    DwmSetWindowAttribute(handle, kBorderColor, &border, sizeof border);
}

void LoadAppIcon(Renderer& renderer) {
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 64, 64, LR_DEFAULTCOLOR)));
    if (icon) renderer.SetAppIcon(icon.get());
}

// The cached banner of the last verified release when it decodes, the built-in picture otherwise.
void LoadTitleCard(LauncherWindow& window) {
    AppState& app = window.app;
    std::string banner;
    try {
        banner = GetBanner(app.updater, app.cachedLauncherInfo, false);
    } catch (const std::exception&) {
        // An unreadable cache shows the built-in picture.
    }
    if (!banner.empty() && window.renderer.SetBackgroundImage(banner)) {
        app.loadedBannerSha256 = app.cachedLauncherInfo.bannerSha256;
    } else {
        window.renderer.SetBackgroundImage(LoadRcData(kTitleCardResource));
    }
}

}  // namespace

void OnCreate(LauncherWindow& window, HWND handle) {
    AppState& app = window.app;
    app.window = handle;
    window.repaintTarget->store(handle);
    const UINT dpi = GetDpiForWindow(handle);
    window.dpi = dpi != 0 ? dpi : 96;
    SetFrameAttributes(handle);
    window.renderer.Init(handle);
    window.renderer.SetDpi(window.dpi);
    LoadAppIcon(window.renderer);
    LoadTitleCard(window);
    app.installed = app.updater.LoadInstalledState();
    ReloadFullMapFlag(app);
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    window.effects.ArmTimer(TimerId::News, kNewsPeriodMs);
    StartReleaseCheck(app, window.effects);
}

void OnDestroy(LauncherWindow& window) {
    window.repaintTarget->store(nullptr);
    window.renderer = Renderer();
}

}  // namespace vk
