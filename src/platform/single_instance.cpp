#include "platform/single_instance.h"

#include <windows.h>

#include <atomic>

#include "infra/handles.h"

namespace vk {

namespace {

// Written by the start-up on the interface thread and by the self-update on its task thread, never at
// the same time; the exchange keeps a handle from being closed twice all the same.
std::atomic<HANDLE> heldMutex{nullptr};

bool TryAcquire() {
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kSingleInstanceMutex));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;
    UniqueHandle previous(heldMutex.exchange(mutex.release()));
    return true;
}

}  // namespace

bool AcquireSingleInstance(bool wait, const InstancePause& pause) {
    const unsigned attempts = wait ? kSingleInstanceAttempts : 1;
    for (unsigned attempt = 1; attempt <= attempts; ++attempt) {
        if (TryAcquire()) return true;
        if (attempt == attempts) break;
        if (pause) {
            pause();
        } else {
            Sleep(kSingleInstancePauseMs);
        }
    }
    return false;
}

void ReleaseSingleInstance() { UniqueHandle held(heldMutex.exchange(nullptr)); }

bool HoldsSingleInstance() { return heldMutex.load() != nullptr; }

}  // namespace vk
