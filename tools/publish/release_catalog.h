#pragma once
// The releases a store holds: the file lists under releases/ and any other list a channel's
// manifest names; found by path, build id or channel; and whether the store has every blob one
// needs.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "command_line.h"
#include "engine/release_documents_portable.h"
#include "store.h"

namespace vk::publish {

// A release list of the store, read whole.
struct StoredRelease {
    std::string path;  // the list's store path
    BlobRef listBlob;  // its size and digest, as a manifest vouches for them
    ReleaseList list;
};

// Throws, naming the list, when it is missing or has anything a launcher would refuse or pass over.
StoredRelease ReadStoredRelease(const Store& store, const std::string& path);

// The channel's manifest as the store holds it, for reading only: nothing is signed on its word
// (the commands that sign read channel.h's SignedManifest). Throws, naming it, when it is missing or
// unusable.
ChannelManifest ReadChannelManifest(const Store& store, const std::string& channel);

// The list the manifest names; throws unless it is the bytes the manifest vouches for.
StoredRelease ReleaseOf(const Store& store, const ChannelManifest& manifest);

// The list a path names, the one list with a build id, or the list a channel's manifest names
// (which must be the bytes the manifest vouches for). Throws, saying why, when there is none or
// more than one.
StoredRelease FindRelease(const Store& store, const ReleaseRef& ref);

// Every release list of the store (releases/ and the lists the channels name), sorted; and the
// channels naming each.
std::map<std::string, std::vector<std::string>> ReleaseListsWithChannels(const Store& store,
                                                                         std::vector<std::string>& problems);

// digest -> size of every blob in the store.
using BlobSizes = std::map<std::string, std::uint64_t>;
BlobSizes PresentBlobs(const Store& store);

// The blobs of the release's files and of the manifest's offers (when given) that the store lacks
// (`has` is false: absent, or of another size), each once, by digest.
std::vector<BlobRef> MissingBlobs(const std::function<bool(const BlobRef&)>& has, const ReleaseList& list,
                                  const ChannelManifest* offers = nullptr);

// Throws, naming the missing blobs, unless the store holds every blob the release and the
// manifest's offers need: a channel must never name a release that players cannot download.
void RequireComplete(const Store& store, const StoredRelease& release, const ChannelManifest& offers);

}  // namespace vk::publish
