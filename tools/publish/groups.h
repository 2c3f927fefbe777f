#pragma once
// Optional content groups: each --group NAME=PATTERN claims the files whose release path
// matches PATTERN; the first rule that matches a file decides.
#include <string>
#include <vector>

#include "command_line.h"

namespace vk::publish {

// The group of each path (empty for the base game), in the order of paths. A rule that matches
// no file at all is almost certainly a typing error and is reported in problems.
std::vector<std::string> AssignGroups(const std::vector<std::string>& paths, const std::vector<GroupRule>& rules,
                                      std::vector<std::string>& problems);

}  // namespace vk::publish
