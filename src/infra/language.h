#pragma once
// The interface language shared by every thread: messages are built in the language that is
// current at the moment they are built.
#include <atomic>
#include <string>

namespace vk {

// Set means English, clear means Simplified Chinese.
extern std::atomic<bool> useEnglish;

// The message in the current interface language.
std::string Localized(const char* english, const char* chinese);

}  // namespace vk
