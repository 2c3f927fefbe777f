#pragma once
// The interface language shared by every thread: messages are built in the language that is
// current at the moment they are built.
#include <atomic>
#include <string>
#include <string_view>

namespace vk {

// Set means English, clear means Simplified Chinese.
extern std::atomic<bool> useEnglish;

// The message in the current interface language: the one way every message picks its language,
// for UTF-8 texts and for the wide texts of Windows calls alike.
std::string Localized(std::string_view english, std::string_view chinese);
std::wstring Localized(std::wstring_view english, std::wstring_view chinese);

}  // namespace vk
