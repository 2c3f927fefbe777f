#pragma once
// Everything about a release that can be checked before a single byte is hashed: the game
// folder as the launcher would see it, the launch file, the groups and the launcher offer.
#include <string>
#include <vector>

#include "command_line.h"
#include "game_scan.h"

namespace vk::publish {

struct ReleasePlan {
    std::vector<GameFile> files;      // sorted by release path
    std::vector<std::string> groups;  // group of each file, empty for the base game
};

// Throws one failure that names every problem found.
ReleasePlan PlanRelease(const ReleaseOptions& options);

}  // namespace vk::publish
