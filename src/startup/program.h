#pragma once
// Facts about the running program: its executable and its built-in resources.
#include <string>

namespace vk {

// The folder of the running executable: its full path up to the last backslash (the whole path when it
// has none).
std::wstring ExecutableDirectory();

// The bytes of RT_RCDATA resource `id` of the program's own module; empty when missing.
std::string LoadRcData(int id);

}  // namespace vk
