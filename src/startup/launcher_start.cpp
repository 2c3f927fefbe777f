#include "startup/launcher_start.h"

#include "configuration/configuration.h"
#include "controller/launcher_window.h"
#include "controller/messages.h"
#include "controller/window_procedure.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/command_line.h"
#include "platform/news.h"
#include "platform/self_update_cleanup.h"
#include "platform/single_instance.h"
#include "ui/window_frame.h"

namespace vk {

namespace {

// A second start only brings the running launcher forward; it looks for a new request itself.
void WakeRunningLauncher() {
    const HWND running = FindWindowW(kWindowClass, nullptr);
    if (running == nullptr) return;
    PostMessageW(running, MsgActivate, 0, 0);
    ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
}

// What earlier runs left, so that the first frame already shows the last banner and news.
void RestoreCachedState(AppState& app) {
    const Updater& updater = app.updater;
    app.machine.requestPending = updater.HasPendingRequest();
    app.cachedLauncherInfo = updater.LoadCachedLauncherInfo();
    app.news = LoadCachedNews(updater);
}

void RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int RunLauncher(HINSTANCE instance, int showCommand) {
    const unsigned long previousLauncher = SelfUpdatedProcessId(GetCommandLineW());
    if (!AcquireSingleInstance(previousLauncher != 0)) {
        WakeRunningLauncher();
        return 0;
    }
    Configuration config = LoadConfiguration();
    if (!HasUpdateSource(config.updater)) {
        MessageBoxW(nullptr, Utf8ToWide(NoUpdateSourceMessage()).c_str(), L"Velkar", MB_ICONERROR);
        ReleaseSingleInstance();
        return 1;
    }
    // Background tasks keep pointers into the record until the process ends, so it is never destroyed.
    auto* launcher = new LauncherWindow;
    launcher->app.updater = std::move(config.updater);
    launcher->app.settings = std::move(config.settings);
    RestoreCachedState(launcher->app);
    const HWND window = CreateLauncherWindow(*launcher, instance);
    if (window == nullptr) {
        const std::wstring text =
            Localized(L"Cannot create the launcher window: ", L"无法创建启动器窗口：") + SystemErrorText(GetLastError());
        MessageBoxW(nullptr, text.c_str(), L"Velkar", MB_ICONERROR);
        ReleaseSingleInstance();
        return 1;
    }
    PlaceWindow(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SignalReadyAndClean(previousLauncher);
    RunMessageLoop();
    ReleaseSingleInstance();
    return 0;
}

}  // namespace vk
