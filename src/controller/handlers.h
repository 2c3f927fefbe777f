#pragma once
// What the launcher does when a background task reports back and when a timer fires. Each handler
// owns its payload and frees it on every path.
#include <windows.h>

#include <memory>

#include "controller/app_state.h"
#include "controller/effects.h"
#include "controller/messages.h"

namespace vk {

void OnReleaseChecked(AppState& app, Effects& effects, std::unique_ptr<ReleaseCheckResult> result);
void OnUpdateFinished(AppState& app, Effects& effects, std::unique_ptr<UpdateResult> result);
// A second launcher start: a request of another program may be waiting.
void OnActivate(AppState& app, Effects& effects);
void OnSelfUpdateFinished(AppState& app, Effects& effects, std::unique_ptr<SelfUpdateResult> result);
void OnNewsLoaded(AppState& app, Effects& effects, std::unique_ptr<NewsResult> result);
void OnTimer(AppState& app, Effects& effects, TimerId id);

// Routes the task results and WM_TIMER to the handlers above; true when the message was one of
// them. A result message whose payload this process did not post is dropped unread.
bool HandleTaskMessage(AppState& app, Effects& effects, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vk
