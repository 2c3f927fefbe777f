#pragma once
// The small line-oriented key=value format of the embedded INI, launcher.cfg and settings.cfg.
#include <string>

namespace vk {

// Removes trailing CR, blanks and quotes, and leading blanks, quotes and byte-order-mark bytes.
std::string TrimIniText(const std::string& text);

// The value of the first `key=` line inside `section` (empty section: before any header).
std::string ReadIniValue(const std::string& text, const std::string& section, const std::string& key);

}  // namespace vk
