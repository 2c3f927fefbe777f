#pragma once
// Starting the game from the installation, online or with the offline switch.
#include <string>
#include <vector>

#include "controller/app_state.h"

namespace vk {

// The install folder, a backslash and the release's launch path with every "/" turned into "\".
std::wstring GameExecutablePath(const std::wstring& installDir, const std::string& launchPath);

// The quoted executable, each launch argument after a blank exactly as the release writes it, then
// the offline switch when asked for.
std::wstring GameCommandLine(const std::wstring& executable, const std::vector<std::string>& arguments, bool offline);

// Starts the game in the install folder and minimises the launcher; a start that fails is shown in
// a message box and changes nothing. The launcher neither waits for the game nor watches it.
void LaunchGame(const AppState& app);

}  // namespace vk
