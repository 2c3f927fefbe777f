#pragma once
// What makes a path unfit for a release: the launcher's own path rules, plus the characters that
// Windows cannot hold in a name, which the launcher would only discover while installing.
#include <string>

namespace vk::publish {

// Why the release path cannot be published, or empty when it can.
std::string ReleasePathProblem(const std::string& path);

// Channel names and build ids become folder and file names on the server: letters, digits,
// ".", "_" and "-", not starting with a dot.
bool IsPlainName(const std::string& name);

}  // namespace vk::publish
