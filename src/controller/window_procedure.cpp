#include "controller/window_procedure.h"

#include "controller/close_rule.h"
#include "controller/handlers.h"
#include "controller/payloads.h"
#include "controller/pointer_input.h"
#include "controller/window_creation.h"
#include "platform/session_end.h"
#include "ui/window_frame.h"

namespace vk {

namespace {

constexpr int kIconResource = 101;

HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                         LR_DEFAULTCOLOR));
}

void OnPaint(LauncherWindow& window, HWND handle) {
    PAINTSTRUCT paint{};
    BeginPaint(handle, &paint);
    PaintLauncher(window);
    EndPaint(handle, &paint);
}

// Scaling from 50 % to 500 %: what a monitor can have.
constexpr unsigned kLowestDpi = 48;
constexpr unsigned kHighestDpi = 480;

// Any program on the desktop can post this message, so its rectangle (a pointer in lParam) is never
// read and a DPI no monitor has is ignored. The window takes the size of the new DPI around its centre.
void OnDpiChanged(LauncherWindow& window, HWND handle, WPARAM wParam) {
    const unsigned dpi = HIWORD(wParam);
    RECT current{};
    if (dpi != LOWORD(wParam) || dpi < kLowestDpi || dpi > kHighestDpi || !GetWindowRect(handle, &current)) return;
    window.dpi = dpi;
    window.renderer.SetDpi(dpi);
    const Placement placement = PlacementFor(current, dpi);
    SetWindowPos(handle, nullptr, placement.x, placement.y, placement.width, placement.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Handle(LauncherWindow& window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(window, handle); return 0;
        case WM_DESTROY:
            OnDestroy(window);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // The queue goes with the window: results still in it would never be freed.
            DiscardPayloadsOf(handle);
            window.app.window = nullptr;
            SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
            return DefWindowProcW(handle, message, wParam, lParam);
        case WM_SIZE:
            window.renderer.Resize();
            window.effects.Repaint();
            return 0;
        case WM_PAINT: OnPaint(window, handle); return 0;
        case WM_CLOSE:
            if (ConfirmClose(window.app, window.effects)) DestroyWindow(handle);
            return 0;
        case WM_QUERYENDSESSION: return AnswerQueryEndSession(handle);
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(handle, message, wParam, lParam);
            SetPointerCursor(window);
            return TRUE;
        case WM_NCCALCSIZE:
            // The whole window is client area: the panels draw their own frame.
            return wParam ? 0 : DefWindowProcW(handle, message, wParam, lParam);
        case WM_NCHITTEST: return OnHitTest(window, lParam);
        case WM_ERASEBKGND: return 1;
        case WM_KEYDOWN: OnKeyDown(window, wParam, lParam); return 0;
        case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(window); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(window, lParam); return 0;
        case WM_LBUTTONUP: OnButtonUp(window, lParam); return 0;
        case WM_MOUSEWHEEL: OnMouseWheel(window, wParam); return 0;
        case WM_DPICHANGED: OnDpiChanged(window, handle, wParam); return 0;
        default:
            if (HandleTaskMessage(window.app, window.effects, message, wParam, lParam)) return 0;
            return DefWindowProcW(handle, message, wParam, lParam);
    }
}

LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<LauncherWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (window == nullptr) return DefWindowProcW(handle, message, wParam, lParam);
    return Handle(*window, handle, message, wParam, lParam);
}

}  // namespace

HWND CreateLauncherWindow(LauncherWindow& window, HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0) return nullptr;
    return CreateWindowExW(0, kWindowClass, L"Velkar", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, 1, 1, nullptr, nullptr, instance, &window);
}

}  // namespace vk
