#include "platform/game_process.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include "infra/handles.h"
#include "infra/language_portable.h"

namespace vk {

std::string GameRunningMessage() {
    return Localized("The game is running. Close it before updating.", "游戏正在运行，请先关闭游戏再更新。");
}

bool IsGameRunning() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        for (const wchar_t* name : kGameProcessNames) {
            if (lstrcmpiW(entry.szExeFile, name) == 0) return true;
        }
    }
    return false;
}

}  // namespace vk
