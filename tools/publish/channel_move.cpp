#include "channel_move.h"

#include "channel.h"
#include "infra/utc_time_portable.h"

namespace vk::publish {
namespace {

// What the channel offers players, leaving out when and in which order it was signed.
std::string Offer(ChannelManifest manifest) {
    manifest.sequence.reset();
    manifest.published.clear();
    manifest.expires.clear();
    return ManifestJson(manifest);
}

}  // namespace

ChannelMove MoveChannel(const Store& store, const SigningKey& key, const std::optional<ChannelManifest>& current,
                        ChannelManifest next, const StoredRelease& release, const MoveTiming& timing) {
    RequireComplete(store, release, next);
    ChannelMove move;
    move.list = release.list;
    if (current) move.previousRelease = current->release;
    if (current && Offer(*current) == Offer(next)) {
        move.manifest = *current;
        move.unchanged = true;
        return move;
    }
    next.sequence = NextSequence(current, next.channel);
    next.published = timing.published.empty() ? UtcNow() : timing.published;
    next.expires = timing.expiresInDays ? TimeAfterDays(next.published, *timing.expiresInDays) : std::string();
    PlaceManifest(store, next, key);
    move.manifest = next;
    return move;
}

}  // namespace vk::publish
