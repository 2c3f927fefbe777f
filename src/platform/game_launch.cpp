#include "platform/game_launch.h"

#include <windows.h>

#include "infra/handles.h"
#include "infra/text.h"

namespace vk {

std::wstring GameCommandLine(const std::wstring& executable, const std::vector<std::string>& arguments, bool offline) {
    std::wstring line = L"\"" + executable + L"\"";
    for (const std::string& argument : arguments) line += L" " + Utf8ToWide(argument);
    if (offline) line += kOfflineSwitch;
    return line;
}

unsigned long StartGameProcess(const std::wstring& executable, std::wstring commandLine, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started)) {
        return GetLastError();
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return 0;
}

}  // namespace vk
