#include "promote.h"

#include "channel.h"
#include "file_io.h"
#include "store_lock.h"

namespace vk::publish {

ChannelMove PromoteRelease(const PromoteOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    const Store store = Store::Existing(options.store);
    const StoreWriteLock lock(options.store, options.waitSeconds);
    // Signed again under the target's name: so it must be what this key signed, not what the store says.
    const ChannelManifest source = ExistingSignedManifest(store, options.from, key, "promote");
    const StoredRelease release = ReleaseOf(store, source);
    ChannelManifest next = source;
    next.channel = options.to;
    return MoveChannel(store, key, SignedManifest(store, options.to, key), next, release,
                       {options.published, options.expiresInDays});
}

}  // namespace vk::publish
