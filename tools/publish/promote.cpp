#include "promote.h"

#include <stdexcept>

#include "channel.h"
#include "file_io.h"
#include "store_lock.h"

namespace vk::publish {

ChannelMove PromoteRelease(const PromoteOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    if (!fs::is_directory(options.store)) throw std::runtime_error("there is no store at " + Utf8Of(options.store));
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const Store store(options.store);
    // Signed again under the target's name: so it must be what this key signed, not what the store says.
    const std::optional<ChannelManifest> source = SignedManifest(store, options.from, key);
    if (!source) {
        throw std::runtime_error(Store::ManifestName(options.from) + " is missing: channel " + options.from +
                                 " has no release to promote");
    }
    const StoredRelease release = ReleaseOf(store, *source);
    ChannelManifest next = *source;
    next.channel = options.to;
    return MoveChannel(store, key, SignedManifest(store, options.to, key), next, release,
                       {options.published, options.expiresInDays});
}

}  // namespace vk::publish
