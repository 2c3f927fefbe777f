#include "engine/release_sizes.h"

namespace vk {

std::uint64_t OptionalGroupSize(const RemoteRelease& release, const std::string& group) {
    std::uint64_t total = 0;
    for (const ReleaseFile& file : release.files) {
        if (file.group == group) total += file.size;
    }
    return total;
}

std::uint64_t InstalledBytes(const InstalledState& installed) {
    std::uint64_t total = 0;
    for (const auto& [path, file] : installed.files) total += file.size;
    return total;
}

bool HasInstallation(const InstalledState& installed) { return !installed.buildId.empty() || !installed.files.empty(); }

}  // namespace vk
