#pragma once
// Whether the game is running, so its files are never replaced under it.

namespace vk {

// True when a process named "Velkar-Win64-Shipping.exe" or "Velkar.exe" (any letter case) runs.
bool IsGameRunning();

}  // namespace vk
