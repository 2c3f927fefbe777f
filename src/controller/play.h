#pragma once
// Starting the game: the file check before every start, the question when a file is missing or
// changed, the runtime step, and the game's process.
#include <memory>

#include "controller/app_state.h"
#include "controller/effects.h"
#include "controller/messages.h"
#include "platform/runtime.h"

namespace vk {

// Play: Updating while the game's files are checked on a background thread.
void StartLaunchVerify(AppState& app, Effects& effects);

// The check's end: a request of another program wins; a clean check starts the game; a bad file asks
// whether to repair, start offline or go back. The answer counts only if nothing changed meanwhile.
void OnVerifyFinished(AppState& app, Effects& effects, std::unique_ptr<VerifyResult> result);

// Starts the game with the offline switch, without the file check; only in Ready, or after a check that
// refused an expired manifest of the installed build.
void PlayOffline(AppState& app, Effects& effects);

// The runtime step when the host finds the runtime missing: PreparingRuntime while the installer runs.
// False when the runtime is fine and nothing was started. Either way the note of an earlier step goes.
bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay, RuntimeHost host);
// The same with the host the world gives for the current release and install folder.
bool StartRuntimeStep(AppState& app, Effects& effects, bool thenPlay);

// The game starts once the runtime is known to be there; otherwise the runtime step starts it when it
// ends well.
void StartGameAfterRuntime(AppState& app, Effects& effects);

// Starts the game with the release's command line, online or offline as offlineLaunch says, and
// minimises the window; a start that fails is shown in a message box and changes nothing.
void LaunchGame(AppState& app, Effects& effects);

// The runtime step's end: the note for the notices, then the game or a pending request.
void OnRuntimeFinished(AppState& app, Effects& effects, std::unique_ptr<RuntimeFinished> result);

}  // namespace vk
