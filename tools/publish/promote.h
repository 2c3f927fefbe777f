#pragma once
// Promoting a release: the target channel names the release the source channel names, with the
// same file list and the same launcher and banner offers, as its next publication. A build tested
// on one channel goes live without being uploaded again.
#include "channel_move.h"
#include "command_line.h"

namespace vk::publish {

// Throws, leaving the store as it was, when the source channel has no manifest this key signed, or
// when the store does not hold its release complete.
ChannelMove PromoteRelease(const PromoteOptions& options);

}  // namespace vk::publish
