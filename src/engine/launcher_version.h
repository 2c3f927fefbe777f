#pragma once

namespace vk {

// This launcher's own version: compared with a release's minimum and with offered launchers.
inline constexpr char LauncherVersion[] = "2.4.0";

}  // namespace vk
