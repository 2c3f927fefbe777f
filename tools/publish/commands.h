#pragma once
// Runs one parsed command, printing its result; returns the exit code (0 success, 1 failure).
// Failures are thrown and turned into messages by the caller.
#include "command_line.h"

namespace vk::publish {

int RunCommand(const Command& command);

}  // namespace vk::publish
