#pragma once
// Size figures of a release and an installation, and whether anything is installed at all.
#include <cstdint>
#include <string>

#include "engine/release.h"

namespace vk {

// Sum of the sizes of the release's files in the group (compared byte for byte); 0 when none.
std::uint64_t OptionalGroupSize(const RemoteRelease& release, const std::string& group);

// Sum of the sizes of the installed files.
std::uint64_t InstalledBytes(const InstalledState& installed);

// Whether the install folder's metadata records anything: a build or files.
bool HasInstallation(const InstalledState& installed);

}  // namespace vk
