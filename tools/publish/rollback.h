#pragma once
// Rolling a channel back: it names an earlier release the store still holds, keeping its launcher
// and banner offers, as its next publication. Launchers refuse a manifest older than one they have
// seen; this one is newer, so they take it: the protection is against replays, not against the
// publisher's own decision.
#include "channel_move.h"
#include "command_line.h"

namespace vk::publish {

// Throws, leaving the store as it was, when the channel has no manifest this key signed, when the
// release cannot be found, or when the store does not hold it complete.
ChannelMove RollBackChannel(const RollbackOptions& options);

}  // namespace vk::publish
