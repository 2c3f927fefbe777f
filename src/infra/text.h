#pragma once
// Conversion between the engine's UTF-8 text and the UTF-16 text of Windows calls.
#include <string>

namespace vk {

// Ill-formed input becomes U+FFFD; never fails.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// The same, added to the end of `out`.
void AppendUtf8(const std::wstring& text, std::string& out);

}  // namespace vk
