#pragma once
// A new release-signing key pair. An existing key file is never replaced: losing the private
// key that installed launchers trust would strand every player.
#include "command_line.h"

namespace vk::publish {

void WriteNewKeyPair(const KeygenOptions& options);

}  // namespace vk::publish
