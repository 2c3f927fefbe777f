#pragma once
// The launcher's states; the values are fixed because masks over them decide what is enabled.
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
inline constexpr int kLauncherStateCount = 11;

// Checking, Updating, SelfUpdating and PreparingRuntime: no new work starts, and the folder and
// full-map buttons are disabled.
inline bool IsBusy(LauncherState state) { return ((0x621u >> static_cast<std::uint32_t>(state)) & 1u) != 0; }

}  // namespace vk
