#include "hidden_window.h"

#include "controller/handlers.h"
#include "controller/payloads.h"

namespace vk::test {

namespace {

constexpr wchar_t kClassName[] = L"VelkarControllerTestWindow";
constexpr UINT kPumpLimitMs = 60000;

void RegisterOnce(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
}

}  // namespace

HiddenLauncherWindow::HiddenLauncherWindow(AppState& app, WindowServices services)
    : app_(app), effects_(app, std::move(services)) {
    RegisterOnce(Procedure);
    window_ = CreateWindowExW(0, kClassName, L"Velkar", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              this);
    app_.window = window_;
}

HiddenLauncherWindow::~HiddenLauncherWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    app_.window = nullptr;
}

bool HiddenLauncherWindow::PumpUntil(const std::function<bool()>& done) {
    const UINT_PTR limit = SetTimer(nullptr, 0, kPumpLimitMs, nullptr);
    bool reached = done();
    MSG message;
    while (!reached && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == limit) break;
        DispatchMessageW(&message);
        reached = done();
    }
    KillTimer(nullptr, limit);
    return reached;
}

LRESULT CALLBACK HiddenLauncherWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HiddenLauncherWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message >= WM_APP && message <= 0xBFFF) self->received.push_back(message);
    if (message == WM_NCDESTROY) DiscardPayloadsOf(window);
    if (HandleTaskMessage(self->app_, self->effects_, message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vk::test
