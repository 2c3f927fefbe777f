#include "controller/game_launch.h"

#include <windows.h>

#include "controller/game_process.h"
#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

std::wstring GameExecutablePath(const std::wstring& installDir, const std::string& launchPath) {
    return JoinPath(installDir, DiskPathOf(launchPath));
}

std::wstring GameCommandLine(const std::wstring& executable, const std::vector<std::string>& arguments, bool offline) {
    std::wstring line = L"\"" + executable + L"\"";
    for (const std::string& argument : arguments) line += L" " + Utf8ToWide(argument);
    if (offline) line += kOfflineSwitch;
    return line;
}

void LaunchGame(const AppState& app) {
    const std::wstring executable = GameExecutablePath(app.installDir, app.release.launchPath);
    std::wstring commandLine = GameCommandLine(executable, app.release.launchArgs, app.offlineLaunch);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        app.installDir.c_str(), &startup, &started)) {
        const std::wstring text =
            Localized(L"Cannot start the game: ", L"无法启动游戏：") + SystemErrorText(GetLastError());
        MessageBoxW(app.window, text.c_str(), L"Velkar", MB_ICONERROR);
        return;
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    ShowWindow(app.window, SW_MINIMIZE);
}

}  // namespace vk
