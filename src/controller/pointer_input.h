#pragma once
// The mouse and the keyboard over the window, turned into hover changes and commands through the
// button list of the last frame.
#include <windows.h>

#include "controller/launcher_window.h"

namespace vk {

void OnMouseMove(LauncherWindow& window, LPARAM position);
void OnMouseLeave(LauncherWindow& window);
void OnButtonDown(LauncherWindow& window, LPARAM position);
// A click needs the button-down and the button-up on entries with the same command.
void OnButtonUp(LauncherWindow& window, LPARAM position);
void OnMouseWheel(LauncherWindow& window, WPARAM wParam);
// Enter and Space press the primary button, once per press: the repeats of a held key do nothing.
void OnKeyDown(LauncherWindow& window, WPARAM key, LPARAM flags);
// HTCAPTION over the empty part of the header row, so the window drags from there; HTCLIENT elsewhere.
LRESULT OnHitTest(const LauncherWindow& window, LPARAM screenPoint);
// The hand over an entry that does something, the arrow elsewhere.
void SetPointerCursor(const LauncherWindow& window);

}  // namespace vk
