#pragma once
// The one option of the launcher's command line: a launcher that replaced its executable starts the
// new one with it.
#include <string>

namespace vk {

inline constexpr wchar_t kSelfUpdatedOption[] = L"--self-updated";

// The process id after the last "--self-updated" (not counting one given as the last argument): the
// launcher that replaced its executable and started this one. 0 for an ordinary start, also when the
// value has no leading digits or the command line cannot be split.
unsigned long SelfUpdatedProcessId(const std::wstring& commandLine);

}  // namespace vk
