#pragma once
// Release-path patterns for content groups: "*" matches within one segment, "**" across
// segments ("a/**/b" matches a/b, a/x/b and a/x/y/b). Everything else matches itself, letter
// case included.
#include <string>

namespace vk::publish {

bool MatchGlob(const std::string& pattern, const std::string& path);

}  // namespace vk::publish
