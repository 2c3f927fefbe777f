#pragma once
// velkar-update as a whole: the command line in, the exit code out.
#include <string>
#include <vector>

namespace vk::headless {

// Parses the arguments (without the program name), runs the command and reports on the standard
// streams; returns the process exit code.
int RunHeadless(const std::vector<std::wstring>& arguments);

}  // namespace vk::headless
