#include "ui/window_frame.h"

#include <shellscalingapi.h>

#include "infra/handles.h"

namespace vk {

namespace {

// shcore.dll is missing on older systems: 96 then.
unsigned MonitorDpi(HMONITOR monitor) {
    UINT dpiX = 96;
    UINT dpiY = 96;
    const UniqueLibrary shcore(LoadLibraryW(L"shcore.dll"));
    if (!shcore) return dpiX;
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
    const auto getDpi = reinterpret_cast<GetDpiForMonitorFunction>(
        reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")));
    if (getDpi == nullptr || FAILED(getDpi(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) return 96;
    return dpiX;
}

}  // namespace

Placement PlacementFor(const RECT& area, unsigned dpi) {
    Placement placement;
    placement.width = MulDiv(static_cast<int>(kWindowWidth), static_cast<int>(dpi), 96);
    placement.height = MulDiv(static_cast<int>(kWindowHeight), static_cast<int>(dpi), 96);
    placement.x = area.left + (area.right - area.left - placement.width) / 2;
    placement.y = area.top + (area.bottom - area.top - placement.height) / 2;
    return placement;
}

void PlaceWindow(HWND window) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return;
    const Placement p = PlacementFor(info.rcWork, MonitorDpi(monitor));
    SetWindowPos(window, nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vk
