#include "refresh.h"

#include "channel.h"
#include "file_io.h"
#include "infra/utc_time_portable.h"
#include "signing.h"
#include "store.h"
#include "store_lock.h"

namespace vk::publish {

RefreshSummary RefreshChannel(const RefreshOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    const Store store = Store::Existing(options.store);
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const ChannelManifest current = ExistingSignedManifest(store, options.channel, key, "refresh");
    ChannelManifest manifest = current;
    manifest.sequence = NextSequence(current, options.channel);
    manifest.published = options.published.empty() ? UtcNow() : options.published;
    manifest.expires = TimeAfterDays(manifest.published, options.expiresInDays);
    PlaceManifest(store, manifest, key);
    return {manifest.buildId, *manifest.sequence, manifest.expires};
}

}  // namespace vk::publish
