#pragma once
// Which release files are checked before every game start.
#include <string>

namespace vk {

// True for files under "Engine/" and "Velkar/" and the root files Velkar.exe, OnlineFiles.json and
// OnlineFiles.sig (case-sensitive).
bool IsLaunchChecked(const std::string& path);

// "Game file missing or changed: " + the problem the check before a start found, in the interface language.
std::string GameFileProblemMessage(const std::string& problem);

}  // namespace vk
