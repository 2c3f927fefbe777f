#include "controller/game_process.h"

#include <windows.h>
#include <tlhelp32.h>

#include "infra/handles.h"

namespace vk {

bool IsGameRunning() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"Velkar-Win64-Shipping.exe") == 0 || lstrcmpiW(entry.szExeFile, L"Velkar.exe") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace vk
