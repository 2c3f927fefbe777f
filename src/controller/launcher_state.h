#pragma once
// The launcher's states. The values are fixed: the panels and the busy mask rely on them.
#include <cstdint>

namespace vk {

enum class LauncherState : std::uint32_t {
    Checking = 0,
    CheckFailed = 1,
    NotInstalled = 2,
    UpdateAvailable = 3,
    Ready = 4,
    Updating = 5,
    Paused = 6,
    UpdateFailed = 7,
    LauncherTooOld = 8,
    SelfUpdating = 9,
    PreparingRuntime = 10,
};

// Checking, Updating, SelfUpdating and PreparingRuntime: while one of them holds, no new work starts.
inline constexpr std::uint32_t kBusyStates = 0x621;

inline bool IsBusy(LauncherState state) { return (kBusyStates >> static_cast<std::uint32_t>(state)) & 1u; }

}  // namespace vk
