#pragma once
// The five commands of velkar-update. Each returns the process exit code or throws the
// player's message.
#include "engine/updater.h"
#include "options.h"

namespace vk::headless {

enum ExitCode : int { kDone = 0, kFailed = 1, kBadUsage = 2, kStopped = 3, kProblemFound = 4 };

int RunCommand(const Options& options, const Updater& updater);

}  // namespace vk::headless
