#pragma once
// When each command may run. The painter greys a button out by this rule and the window procedure
// refuses the command by the same rule, so a click queued before a state change cannot do what
// the new state forbids.
#include "ui/launcher_state.h"
#include "ui/launcher_view.h"

namespace vk {

// What the rule looks at, taken from the launcher record or from a frame's view.
struct CommandFacts {
    LauncherState state = LauncherState::Checking;
    bool pauseRequested = false;
    bool releaseKnown = false;
    bool installed = false;  // the install folder records a build or files
    bool offlineOnly = false;  // the check refused an expired manifest of the installed build
};

bool CommandEnabled(int command, const CommandFacts& facts);

CommandFacts FactsOf(const LauncherView& view);

}  // namespace vk
