#pragma once
// The launcher's states, as the window draws them; what moves between them and what each allows is
// the controller's state machine. The values are fixed: the layout probe names a state by its number.
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

}  // namespace vk
