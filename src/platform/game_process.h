#pragma once
// Whether the game is running, so its files are never replaced under it.
#include <string>

namespace vk {

// The executables whose process means that the game runs.
inline constexpr const wchar_t* kGameProcessNames[] = {L"Velkar-Win64-Shipping.exe", L"Velkar.exe"};

// "The game is running. Close it before updating." in the interface language.
std::string GameRunningMessage();

// True when a process named "Velkar-Win64-Shipping.exe" or "Velkar.exe" (any letter case) runs.
bool IsGameRunning();

}  // namespace vk
