#pragma once
// The store: the folder tree a static HTTPS server serves as the update base URL. The launcher fetches
// these addresses below the base URL and the publisher tools write them below the store folder, so
// both name every document here and nowhere else.
//   channels/<channel>/windows.json(.sig)  signed channel manifests and their signatures
//   releases/<build id>.json               release file lists (the manifest names the one it vouches for)
//   blobs/<sha256>                         content, named by its digest
//   Shipping/LauncherNews.json             news
#include <string>

namespace vk {

inline constexpr char kChannelsFolder[] = "channels";
inline constexpr char kReleasesFolder[] = "releases";
inline constexpr char kBlobsFolder[] = "blobs";
inline constexpr char kNewsAddress[] = "Shipping/LauncherNews.json";

inline std::string ChannelManifestAddress(const std::string& channel) {
    return std::string(kChannelsFolder) + "/" + channel + "/windows.json";
}

inline std::string ChannelSignatureAddress(const std::string& channel) {
    return ChannelManifestAddress(channel) + ".sig";
}

// Where a release's file list is published unless the publisher names another place.
inline std::string ReleaseListAddress(const std::string& buildId) {
    return std::string(kReleasesFolder) + "/" + buildId + ".json";
}

inline std::string BlobAddress(const std::string& sha256) { return std::string(kBlobsFolder) + "/" + sha256; }

// The URL of a store address below the base URL (which never ends in "/").
inline std::string StoreUrl(const std::string& baseUrl, const std::string& address) { return baseUrl + "/" + address; }

}  // namespace vk
