#pragma once
// Pointing a channel at a release the store already holds (promote, rollback): nothing is copied,
// only the channel's manifest is signed again, numbered after the one it replaces, so that
// launchers that have seen that one take the new one.
#include <optional>
#include <string>

#include "engine/release_documents_portable.h"
#include "release_catalog.h"
#include "signing.h"
#include "store.h"

namespace vk::publish {

struct ChannelMove {
    ChannelManifest manifest;                    // as placed, or the channel's own when unchanged
    ReleaseList list;                            // the release the channel names now
    std::optional<std::string> previousRelease;  // the list it named before; none for a new channel
    bool unchanged = false;                      // it already named this release with these offers
};

struct MoveTiming {
    std::string published;  // empty: now
    std::optional<int> expiresInDays;
};

// Places `next` (release and offers filled in) as the channel's next manifest: refuses a release
// the store does not hold complete; leaves a channel that already names it with the same offers
// as it is. `current` is the channel's manifest this key signed (SignedManifest), if any.
ChannelMove MoveChannel(const Store& store, const SigningKey& key, const std::optional<ChannelManifest>& current,
                        ChannelManifest next, const StoredRelease& release, const MoveTiming& timing);

}  // namespace vk::publish
