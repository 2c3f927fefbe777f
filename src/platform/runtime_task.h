#pragma once
// The runtime installer's background task: it runs EnsureRuntime away from the interface thread and
// hands the outcome to the window with one posted message.
#include <windows.h>

#include "platform/runtime.h"

namespace vk {

// The message's payload: one heap block that the receiving handler takes over and deletes.
struct RuntimeFinished {
    RuntimeOutcome outcome;
    bool thenPlay = false;  // start the game afterwards when the outcome allows it
};

// Starts a detached thread that runs EnsureRuntime(host) and posts `message` to the window with a
// RuntimeFinished as its long parameter. False when no thread could be started (nothing is posted).
bool StartRuntimeInstall(RuntimeHost host, bool thenPlay, HWND window, UINT message);

}  // namespace vk
