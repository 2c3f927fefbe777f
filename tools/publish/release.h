#pragma once
// Publishing a release: blobs first, then the release file list, then the channel manifest and
// its signature, so that whatever a launcher fetches at any moment is complete.
#include <cstdint>

#include "command_line.h"

namespace vk::publish {

struct ReleaseSummary {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t newBlobs = 0;
    std::uint64_t newBytes = 0;
};

ReleaseSummary PublishRelease(const ReleaseOptions& options);

}  // namespace vk::publish
