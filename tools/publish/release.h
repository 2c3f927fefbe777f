#pragma once
// Publishing a release: blobs first, then the release file list, then the channel manifest and
// its signature, so that whatever a launcher fetches at any moment is complete.
#include <cstdint>
#include <optional>
#include <string>

#include "command_line.h"
#include "engine/release_documents_portable.h"

namespace vk::publish {

struct ReleaseSummary {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t newBlobs = 0;
    std::uint64_t newBytes = 0;
    ReleaseList list;                            // as placed in the store
    std::optional<std::string> previousRelease;  // the list the channel named before; none for a new channel
};

ReleaseSummary PublishRelease(const ReleaseOptions& options);

}  // namespace vk::publish
