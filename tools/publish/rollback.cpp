#include "rollback.h"

#include "channel.h"
#include "file_io.h"
#include "store_lock.h"

namespace vk::publish {

ChannelMove RollBackChannel(const RollbackOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    const Store store = Store::Existing(options.store);
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const ChannelManifest current = ExistingSignedManifest(store, options.channel, key, "roll back");
    const StoredRelease release = FindRelease(store, options.target);
    ChannelManifest next = current;
    next.release = release.path;
    next.releaseBlob = release.listBlob;
    next.buildId = release.list.buildId;
    return MoveChannel(store, key, current, next, release, {options.published, options.expiresInDays});
}

}  // namespace vk::publish
