#pragma once
// Ordering of dotted version numbers such as "2.4.0".
#include <string>

namespace vk {

// -1 when a is older than b, 0 when equal, 1 when newer. Segments are compared as 32-bit
// unsigned numbers; a character that is not a digit counts as the digit 0, and a missing
// segment as 0 (so "2.4" equals "2.4.0").
int CompareVersions(const std::string& a, const std::string& b);

}  // namespace vk
