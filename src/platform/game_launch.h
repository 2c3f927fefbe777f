#pragma once
// Starting the game from the installation, online or with the offline switch.
#include <string>
#include <vector>

namespace vk {

// Appended to the game's command line for a start without online play.
inline constexpr wchar_t kOfflineSwitch[] = L" -KTOfflineOnly";

// The quoted executable, each launch argument after a blank exactly as the release writes it, then
// the offline switch when asked for.
std::wstring GameCommandLine(const std::wstring& executable, const std::vector<std::string>& arguments, bool offline);

// Starts the game's process in the folder and lets it go: the launcher neither waits for the game nor
// watches it. 0 when it started, otherwise the Windows error.
unsigned long StartGameProcess(const std::wstring& executable, std::wstring commandLine, const std::wstring& folder);

}  // namespace vk
