#pragma once
// The news file: checked against what the launcher reads, then placed in the store.
#include <cstddef>
#include <string>
#include <vector>

#include "command_line.h"

namespace vk::publish {

// Everything in the file that the launcher would refuse, skip or cut, one line each.
std::vector<std::string> NewsProblems(const std::string& text);

// Places the file at Shipping/LauncherNews.json and returns the number of items. Throws, and
// leaves the store untouched, when NewsProblems finds anything.
std::size_t PublishNews(const NewsOptions& options);

}  // namespace vk::publish
