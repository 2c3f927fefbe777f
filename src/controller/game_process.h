#pragma once
// Whether the game is running, so its files are never replaced under it.

namespace vk {

// The executables whose process means that the game runs.
inline constexpr const wchar_t* kGameProcessNames[] = {L"Velkar-Win64-Shipping.exe", L"Velkar.exe"};

// Appended to the game's command line for a start without online play.
inline constexpr wchar_t kOfflineSwitch[] = L" -KTOfflineOnly";

// True when a process named "Velkar-Win64-Shipping.exe" or "Velkar.exe" (any letter case) runs.
bool IsGameRunning();

}  // namespace vk
