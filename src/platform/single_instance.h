#pragma once
// One launcher per Windows logon: a named mutex in the session's namespace. The handle is
// process-wide; a self-update hands it to its successor and takes it back if the successor fails.
#include <functional>

namespace vk {

inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\VelkarLauncher";

// Attempts, and the pause between them, when a self-updated launcher waits for its predecessor to exit.
inline constexpr unsigned kSingleInstanceAttempts = 51;
inline constexpr unsigned kSingleInstancePauseMs = 100;

// Pauses between two attempts; tests count the pauses instead of sleeping.
using InstancePause = std::function<void()>;

// True when this process now holds the mutex. Without wait, one attempt; with wait, up to 51 attempts
// about five seconds in all, for a predecessor that is still closing.
bool AcquireSingleInstance(bool wait, const InstancePause& pause = {});

// Closes the held mutex so that a successor can take it. Nothing happens when none is held.
void ReleaseSingleInstance();

// True while this process holds the mutex.
bool HoldsSingleInstance();

}  // namespace vk
