#pragma once
// Whether the window may close now: never while the launcher swaps itself, and only after the player
// confirms while an update or a file check runs.
#include "controller/app_state.h"
#include "controller/effects.h"

namespace vk {

// True when the window is to be destroyed; the running task has then been told to stop.
bool ConfirmClose(AppState& app, Effects& effects);

}  // namespace vk
