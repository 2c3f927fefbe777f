#pragma once
// The background tasks the controller starts, and the start of work that other programs ask for.
// Each start runs on the interface thread, returns at once and never waits for its thread.
#include "controller/app_state.h"
#include "controller/effects.h"

namespace vk {

// Before an update or a file check: the stop flag cleared, the counters and the speed estimate at zero.
void ResetProgress(AppState& app);

// News may be refreshed at any time, also while other work runs.
void StartNewsRefresh(AppState& app, Effects& effects);

// The start operations below refuse (and return false) while the launcher is busy, so that at most
// one check, one update or file check and one self-update ever run, whatever queued the request.

// Checking, a news refresh, and the release check with its banner.
bool StartReleaseCheck(AppState& app, Effects& effects);

// Updating with the repair flag; refused with a message while the game runs.
bool StartUpdate(AppState& app, Effects& effects, bool repair);

// SelfUpdating: downloads the offered launcher and hands it to the self-update operation.
bool StartSelfUpdate(AppState& app, Effects& effects);

// The update or file check stops at its next check point; the primary button shows the pause at once.
void RequestPause(AppState& app, Effects& effects);

// Acts on a repair or content request of another program: a due repair waits for the game to exit,
// retrying every 500 ms.
void ProcessRequests(AppState& app, Effects& effects);

}  // namespace vk
