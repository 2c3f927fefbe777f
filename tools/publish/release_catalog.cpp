#include "release_catalog.h"

#include <stdexcept>

#include "file_io.h"
#include "infra/sha256_portable.h"

namespace vk::publish {
namespace {

std::string ReadStoreDocument(const Store& store, const std::string& name) {
    const fs::path path = store.Resolve(name);
    if (!fs::is_regular_file(path)) throw std::runtime_error(name + " is not in the store " + Utf8Of(store.Root()));
    return ReadRequiredFile(path);
}

StoredRelease FindByBuild(const Store& store, const std::string& buildId) {
    std::vector<std::string> ignored;
    std::vector<StoredRelease> found;
    std::string unreadable;
    for (const auto& [path, channels] : ReleaseListsWithChannels(store, ignored)) {
        try {
            StoredRelease release = ReadStoredRelease(store, path);
            if (release.list.buildId == buildId) found.push_back(std::move(release));
        } catch (const std::runtime_error& error) {
            unreadable += std::string("; ") + error.what();
        }
    }
    if (found.size() == 1) return std::move(found.front());
    if (found.empty()) throw std::runtime_error("no release list of the store has build id " + buildId + unreadable);
    std::string paths;
    for (const StoredRelease& release : found) paths += (paths.empty() ? "" : ", ") + release.path;
    throw std::runtime_error("build id " + buildId + " is in several release lists (" + paths +
                             "); name one with its path");
}

}  // namespace

StoredRelease ReadStoredRelease(const Store& store, const std::string& path) {
    const std::string bytes = ReadStoreDocument(store, path);
    std::vector<std::string> problems;
    StoredRelease release{path, {Sha256Hex(bytes), bytes.size()}, {}};
    try {
        release.list = ReadReleaseList(bytes, problems);
    } catch (const std::runtime_error& error) {
        problems.push_back(error.what());
    }
    if (!problems.empty()) {
        throw std::runtime_error(path + " cannot be used as it is (" + problems.front() + "); run verify");
    }
    return release;
}

ChannelManifest ReadChannelManifest(const Store& store, const std::string& channel) {
    const std::string name = ChannelManifestAddress(channel);
    if (!fs::is_regular_file(store.Resolve(name))) {
        throw std::runtime_error(name + " is missing: channel " + channel + " names no release");
    }
    std::vector<std::string> ignoredOffers;  // the release is what is read here
    try {
        return ReadManifest(ParseJson(ReadRequiredFile(store.Resolve(name))), channel, &ignoredOffers);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(name + " cannot be read (" + error.what() + ")");
    }
}

StoredRelease ReleaseOf(const Store& store, const ChannelManifest& manifest) {
    StoredRelease release = ReadStoredRelease(store, manifest.release);
    if (release.listBlob.size != manifest.releaseBlob.size || release.listBlob.sha256 != manifest.releaseBlob.sha256) {
        throw std::runtime_error(manifest.release + " is not the list " + ChannelManifestAddress(manifest.channel) +
                                 " vouches for (size or SHA-256 differs); run verify");
    }
    return release;
}

StoredRelease FindRelease(const Store& store, const ReleaseRef& ref) {
    switch (ref.kind) {
        case ReleaseRef::Kind::Path: return ReadStoredRelease(store, ref.value);
        case ReleaseRef::Kind::Build: return FindByBuild(store, ref.value);
        case ReleaseRef::Kind::Channel: return ReleaseOf(store, ReadChannelManifest(store, ref.value));
    }
    throw std::logic_error("unknown kind of release reference");
}

std::map<std::string, std::vector<std::string>> ReleaseListsWithChannels(const Store& store,
                                                                         std::vector<std::string>& problems) {
    std::map<std::string, std::vector<std::string>> lists;
    for (const std::string& path : store.ListReleaseLists()) lists[path];
    for (const std::string& channel : store.ListChannels()) {
        try {
            lists[ReadChannelManifest(store, channel).release].push_back(channel);
        } catch (const std::runtime_error& error) {
            problems.push_back(error.what());
        }
    }
    return lists;
}

BlobSizes PresentBlobs(const Store& store) {
    BlobSizes blobs;
    for (const BlobRef& blob : store.ListBlobs()) blobs.emplace(blob.sha256, blob.size);
    return blobs;
}

std::vector<BlobRef> MissingBlobs(const std::function<bool(const BlobRef&)>& has, const ReleaseList& list,
                                  const ChannelManifest* offers) {
    BlobSizes needed;
    for (const ReleaseFile& file : list.files) {
        needed.emplace(file.sha256, file.size);
        if (file.chunks) needed.emplace(file.chunks->sha256, file.chunks->size);
    }
    if (offers != nullptr && offers->launcher)
        needed.emplace(offers->launcher->blob.sha256, offers->launcher->blob.size);
    if (offers != nullptr && offers->banner) needed.emplace(offers->banner->sha256, offers->banner->size);
    std::vector<BlobRef> missing;
    for (const auto& [sha256, size] : needed) {
        const BlobRef blob{sha256, size};
        if (!has(blob)) missing.push_back(blob);
    }
    return missing;
}

void RequireComplete(const Store& store, const StoredRelease& release, const ChannelManifest& offers) {
    const std::vector<BlobRef> missing =
        MissingBlobs([&store](const BlobRef& blob) { return store.HasBlob(blob); }, release.list, &offers);
    if (missing.empty()) return;
    std::string names;
    for (std::size_t i = 0; i < missing.size() && i < 3; ++i) names += ", " + BlobAddress(missing[i].sha256);
    if (missing.size() > 3) names += ", ...";
    throw std::runtime_error("the store does not hold build " + release.list.buildId + " (" + release.path +
                             ") complete: " + std::to_string(missing.size()) + " blobs missing or of the wrong size" +
                             names + "; publish the build again or restore its blobs. Nothing was signed");
}

}  // namespace vk::publish
