#include "controller/pointer_input.h"

#include <windowsx.h>

#include "controller/commands.h"
#include "ui/commands.h"
#include "ui/panels.h"

namespace vk {

namespace {

struct DipPoint {
    float x;
    float y;
};

DipPoint ClientDips(const LauncherWindow& window, int x, int y) {
    return {ToDips(x, window.dpi), ToDips(y, window.dpi)};
}

// The command of the enabled entry under the position, 0 for none.
int CommandAt(const LauncherWindow& window, LPARAM position) {
    const DipPoint p = ClientDips(window, GET_X_LPARAM(position), GET_Y_LPARAM(position));
    const ButtonList& buttons = window.screen.buttons();
    const int index = buttons.HitTest(p.x, p.y);
    if (index < 0) return 0;
    const ButtonEntry& entry = buttons.Entries()[static_cast<std::size_t>(index)];
    return entry.enabled ? entry.command : 0;
}

}  // namespace

void OnMouseMove(LauncherWindow& window, LPARAM position) {
    if (!window.leaveTracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window.app.window;
        window.leaveTracking = TrackMouseEvent(&track) != FALSE;
    }
    const DipPoint p = ClientDips(window, GET_X_LPARAM(position), GET_Y_LPARAM(position));
    ButtonList& buttons = window.screen.buttons();
    const int index = buttons.HitTest(p.x, p.y);
    if (index == buttons.Hovered()) return;
    buttons.SetHovered(index);
    window.effects.Repaint();
}

void OnMouseLeave(LauncherWindow& window) {
    window.leaveTracking = false;
    ButtonList& buttons = window.screen.buttons();
    if (buttons.Hovered() == -1) return;
    buttons.SetHovered(-1);
    window.effects.Repaint();
}

void OnButtonDown(LauncherWindow& window, LPARAM position) {
    window.pressedCommand = CommandAt(window, position);
    SetCapture(window.app.window);
}

void OnButtonUp(LauncherWindow& window, LPARAM position) {
    ReleaseCapture();
    const int command = CommandAt(window, position);
    const int pressed = std::exchange(window.pressedCommand, 0);
    if (command != 0 && command == pressed) RunCommand(window.app, window.effects, command);
}

void OnMouseWheel(LauncherWindow& window, WPARAM wParam) {
    NewsScroll& scroll = window.screen.news();
    scroll.first = window.app.newsScroll;
    if (ScrollNews(scroll, window.app.news.size(), GET_WHEEL_DELTA_WPARAM(wParam))) {
        window.app.newsScroll = scroll.first;
        window.effects.Repaint();
    }
}

void OnKeyDown(LauncherWindow& window, WPARAM key, LPARAM flags) {
    // Bit 30: the key was already down, so this is an auto-repeat. Acting on it would press the
    // primary button again and pause the very check or update the first press started.
    constexpr LPARAM kWasDown = LPARAM{1} << 30;
    if ((flags & kWasDown) != 0) return;
    if (key == VK_RETURN || key == VK_SPACE) RunCommand(window.app, window.effects, CmdPrimary);
}

LRESULT OnHitTest(const LauncherWindow& window, LPARAM screenPoint) {
    POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(window.app.window, &point);
    const DipPoint p = ClientDips(window, point.x, point.y);
    return IsCaptionPoint(window.screen.buttons(), p.x, p.y) ? HTCAPTION : HTCLIENT;
}

void SetPointerCursor(const LauncherWindow& window) {
    SetCursor(LoadCursorW(nullptr, WantsHandCursor(window.screen.buttons()) ? IDC_HAND : IDC_ARROW));
}

}  // namespace vk
