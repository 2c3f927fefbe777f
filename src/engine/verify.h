#pragma once
// Which release files are checked before every game start.
#include <string>

namespace vk {

// True for files under "Engine/" and "Velkar/" and the root files Velkar.exe, OnlineFiles.json and
// OnlineFiles.sig (case-sensitive).
bool IsLaunchChecked(const std::string& path);

}  // namespace vk
