#pragma once
// A channel's signed manifest in the store: the one this key signed last, what the next one is
// numbered, and how a new one is placed. The numbering is what protects players from a replayed old
// manifest, so it follows only a manifest whose signature this key verifies: a planted manifest with
// a huge number, or a manifest deleted from the store, must not move it.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/release_documents_portable.h"
#include "signing.h"
#include "store.h"

namespace vk::publish {

// The channel's manifest, verified with the key's public half; nullopt for a new channel (neither the
// manifest nor its signature in the store). Throws, naming the manifest, when only one of the two is
// there, when the signature is not this key's, or when the manifest cannot be read.
std::optional<ChannelManifest> SignedManifest(const Store& store, const std::string& channel, const SigningKey& key);

// One above the manifest's sequence: 1 for a new channel or a manifest from before the numbering.
// Throws when that would pass kMaxSequence.
std::uint64_t NextSequence(const std::optional<ChannelManifest>& current, const std::string& channel);

// The time `days` whole days after the UTC time `from` (in the manifest's form).
std::string TimeAfterDays(const std::string& from, int days);

// Writes the manifest, then its signature (a launcher that fetches between the two fails the check
// and tries again later).
void PlaceManifest(const Store& store, const ChannelManifest& manifest, const SigningKey& key);

}  // namespace vk::publish
