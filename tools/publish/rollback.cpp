#include "rollback.h"

#include <stdexcept>

#include "channel.h"
#include "file_io.h"
#include "store_lock.h"

namespace vk::publish {

ChannelMove RollBackChannel(const RollbackOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    if (!fs::is_directory(options.store)) throw std::runtime_error("there is no store at " + Utf8Of(options.store));
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const Store store(options.store);
    const std::optional<ChannelManifest> current = SignedManifest(store, options.channel, key);
    if (!current) {
        throw std::runtime_error(Store::ManifestName(options.channel) + " is missing: channel " + options.channel +
                                 " has no release to roll back");
    }
    const StoredRelease release = FindRelease(store, options.target);
    ChannelManifest next = *current;
    next.release = release.path;
    next.releaseBlob = release.listBlob;
    next.buildId = release.list.buildId;
    return MoveChannel(store, key, current, next, release, {options.published, options.expiresInDays});
}

}  // namespace vk::publish
