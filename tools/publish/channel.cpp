#include "channel.h"

#include <stdexcept>

#include "file_io.h"
#include "infra/signature_portable.h"
#include "infra/utc_time_portable.h"

namespace vk::publish {

namespace {

[[noreturn]] void RefuseToNumber(const std::string& channel, const std::string& reason) {
    throw std::runtime_error(Store::ManifestName(channel) + " " + reason +
                             ", so the channel's next manifest cannot be numbered after it; restore the manifest and "
                             "its signature as last published. Nothing was published");
}

}  // namespace

std::optional<ChannelManifest> SignedManifest(const Store& store, const std::string& channel, const SigningKey& key) {
    const fs::path manifestPath = store.Resolve(Store::ManifestName(channel));
    const fs::path signaturePath = store.Resolve(Store::SignatureName(channel));
    const bool hasManifest = fs::exists(manifestPath);
    const bool hasSignature = fs::exists(signaturePath);
    if (!hasManifest && !hasSignature) return std::nullopt;
    if (!hasManifest) RefuseToNumber(channel, "is missing while its signature is there");
    if (!hasSignature) RefuseToNumber(channel, "has no signature");
    const std::string bytes = ReadRequiredFile(manifestPath);
    if (!VerifySignature(bytes, ReadRequiredFile(signaturePath), key.PublicPem())) {
        RefuseToNumber(channel, "is not signed with this key");
    }
    std::vector<std::string> problems;
    try {
        return ReadManifest(bytes, problems);
    } catch (const std::exception& error) {
        RefuseToNumber(channel, std::string("cannot be read (") + error.what() + ")");
    }
}

std::uint64_t NextSequence(const std::optional<ChannelManifest>& current, const std::string& channel) {
    const std::uint64_t sequence = current ? current->sequence.value_or(0) : 0;
    if (sequence >= kMaxSequence) {
        throw std::runtime_error(Store::ManifestName(channel) + " has sequence " + std::to_string(sequence) +
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
    store.Place(Store::ManifestName(manifest.channel), bytes);
    store.Place(Store::SignatureName(manifest.channel), signature);
}

}  // namespace vk::publish
