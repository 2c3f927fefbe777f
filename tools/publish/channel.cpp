#include "channel.h"

#include <stdexcept>

#include "file_io.h"
#include "infra/signature_portable.h"
#include "infra/utc_time_portable.h"

namespace vk::publish {

namespace {

// Neither the channel's next number nor a release promoted from it may rest on such a manifest.
[[noreturn]] void RefuseToFollow(const std::string& channel, const std::string& reason) {
    throw std::runtime_error(ChannelManifestAddress(channel) + " " + reason +
                             ", so nothing is signed on its word; restore the manifest and its signature as last "
                             "published. Nothing was published");
}

}  // namespace

std::optional<ChannelManifest> SignedManifest(const Store& store, const std::string& channel, const SigningKey& key) {
    const fs::path manifestPath = store.Resolve(ChannelManifestAddress(channel));
    const fs::path signaturePath = store.Resolve(ChannelSignatureAddress(channel));
    const bool hasManifest = fs::exists(manifestPath);
    const bool hasSignature = fs::exists(signaturePath);
    if (!hasManifest && !hasSignature) return std::nullopt;
    if (!hasManifest) RefuseToFollow(channel, "is missing while its signature is there");
    if (!hasSignature) RefuseToFollow(channel, "has no signature");
    const std::string bytes = ReadRequiredFile(manifestPath);
    if (!VerifySignature(bytes, ReadRequiredFile(signaturePath), key.PublicPem())) {
        RefuseToFollow(channel, "is not signed with this key");
    }
    std::vector<std::string> problems;
    try {
        return ReadManifest(bytes, problems);
    } catch (const std::exception& error) {
        RefuseToFollow(channel, std::string("cannot be read (") + error.what() + ")");
    }
}

ChannelManifest ExistingSignedManifest(const Store& store, const std::string& channel, const SigningKey& key,
                                       const std::string& command) {
    std::optional<ChannelManifest> manifest = SignedManifest(store, channel, key);
    if (!manifest) {
        throw std::runtime_error(ChannelManifestAddress(channel) + " is missing: channel " + channel +
                                 " has no release to " + command);
    }
    return std::move(*manifest);
}

std::uint64_t NextSequence(const std::optional<ChannelManifest>& current, const std::string& channel) {
    const std::uint64_t sequence = current ? current->sequence.value_or(0) : 0;
    if (sequence >= kMaxSequence) {
        throw std::runtime_error(ChannelManifestAddress(channel) + " has sequence " + std::to_string(sequence) +
                                 "; a manifest numbered above " + std::to_string(kMaxSequence) +
                                 " cannot be read by launchers. Nothing was published");
    }
    return sequence + 1;
}

std::string TimeAfterDays(const std::string& from, int days) {
    const std::optional<std::int64_t> start = ParseUtcTime(from);
    if (!start) throw std::runtime_error("not a UTC time: " + from);
    return FormatUtcTime(*start + static_cast<std::int64_t>(days) * 86400);
}

void PlaceManifest(const Store& store, const ChannelManifest& manifest, const SigningKey& key) {
    const std::string bytes = ManifestJson(manifest);
    const std::string signature = key.SignBase64(bytes);
    store.Place(ChannelManifestAddress(manifest.channel), bytes);
    store.Place(ChannelSignatureAddress(manifest.channel), signature);
}

}  // namespace vk::publish
