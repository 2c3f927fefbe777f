#include "refresh.h"

#include <stdexcept>

#include "channel.h"
#include "file_io.h"
#include "infra/utc_time_portable.h"
#include "signing.h"
#include "store.h"
#include "store_lock.h"

namespace vk::publish {

RefreshSummary RefreshChannel(const RefreshOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    if (!fs::is_directory(options.store)) throw std::runtime_error("there is no store at " + Utf8Of(options.store));
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const Store store(options.store);
    const std::optional<ChannelManifest> current = SignedManifest(store, options.channel, key);
    if (!current) {
        throw std::runtime_error(Store::ManifestName(options.channel) + " is missing: channel " + options.channel +
                                 " has no release to refresh");
    }
    ChannelManifest manifest = *current;
    manifest.sequence = NextSequence(current, options.channel);
    manifest.published = options.published.empty() ? UtcNow() : options.published;
    manifest.expires = TimeAfterDays(manifest.published, options.expiresInDays);
    PlaceManifest(store, manifest, key);
    return {manifest.buildId, *manifest.sequence, manifest.expires};
}

}  // namespace vk::publish
