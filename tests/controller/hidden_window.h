#pragma once
// A message-only window on the test's thread whose procedure hands the task messages to the
// controller, as the launcher's window does; tests pump its messages until the result they wait for
// arrives. Message-only, because the tests run without a display and Wine then creates no other window.
#include <windows.h>

#include <functional>
#include <vector>

#include "controller/app_state.h"
#include "controller/window_effects.h"

namespace vk::test {

class HiddenLauncherWindow {
public:
    HiddenLauncherWindow(AppState& app, WindowServices services);
    ~HiddenLauncherWindow();
    HiddenLauncherWindow(const HiddenLauncherWindow&) = delete;
    HiddenLauncherWindow& operator=(const HiddenLauncherWindow&) = delete;

    HWND handle() const { return window_; }
    Effects& effects() { return effects_; }

    // Dispatches this thread's messages until `done` holds; false when a minute passes first.
    bool PumpUntil(const std::function<bool()>& done);

    // Every WM_APP-range message the window received, in order.
    std::vector<UINT> received;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    AppState& app_;
    WindowEffects effects_;
    HWND window_ = nullptr;
};

}  // namespace vk::test
