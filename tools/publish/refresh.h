#pragma once
// Keeping an expiring channel alive: its current manifest signed again with the next sequence and a
// new expiry. The release, its file list and its blobs stay as they are.
#include <cstdint>
#include <string>

#include "command_line.h"

namespace vk::publish {

struct RefreshSummary {
    std::string buildId;
    std::uint64_t sequence = 0;
    std::string expires;
};

// Throws, leaving the store as it was, when the channel has no manifest this key has signed.
RefreshSummary RefreshChannel(const RefreshOptions& options);

}  // namespace vk::publish
