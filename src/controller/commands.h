#pragma once
// What the window's buttons and keys do.
#include "controller/app_state.h"
#include "controller/effects.h"

namespace vk {

// Runs the command when its rule allows it in the current state. A click can be queued before the
// paint that disables its button, so the rule is applied here again, not only by the painter.
void RunCommand(AppState& app, Effects& effects, int command);

// The primary button: Retry, Download/Update, Resume/Retry, Play or Pause, by state.
void PrimaryAction(AppState& app, Effects& effects);

}  // namespace vk
