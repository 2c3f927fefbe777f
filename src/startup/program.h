#pragma once
// Facts about the running program: its executable and its built-in resources.
#include <string>

namespace vk {

// Full path of the running executable.
std::wstring ExecutablePath();

// ExecutablePath up to its last backslash (the whole path when it has none).
std::wstring ExecutableDirectory();

// The bytes of RT_RCDATA resource `id` of the program's own module; empty when missing.
std::string LoadRcData(int id);

}  // namespace vk
