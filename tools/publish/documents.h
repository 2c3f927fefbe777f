#pragma once
// The two documents the launcher reads from the store: the release file list and the channel
// manifest that vouches for it. Writers produce one fixed layout, so the same release always
// gives the same bytes; readers apply the launcher's rules and report what it would refuse.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vk::publish {

struct BlobRef {
    std::string sha256;
    std::uint64_t size = 0;
};

struct ReleaseEntry {
    std::string path;
    BlobRef blob;
    std::string group;  // empty for the base game
};

struct ReleaseList {
    std::string buildId;
    std::string projectVersion;
    std::string launchPath;
    std::vector<std::string> launchArgs;
    std::vector<ReleaseEntry> files;
};

struct LauncherOffer {
    std::string version;
    BlobRef blob;
};

struct Manifest {
    std::string channel;
    std::string release;  // path of the file list, relative to the store root
    BlobRef releaseBlob;  // size and digest of the file list
    std::string buildId;
    std::string minLauncherVersion;
    std::optional<LauncherOffer> launcher;
    std::optional<BlobRef> banner;
};

// The file list with its entries sorted by path in byte order.
std::string ReleaseListJson(const ReleaseList& list);
std::string ManifestJson(const Manifest& manifest);

// The readers throw when the document as a whole is unusable (not JSON, a required member
// missing or mistyped) and add one line to problems for everything else the launcher would
// refuse or silently ignore.
ReleaseList ReadReleaseList(const std::string& text, std::vector<std::string>& problems);
Manifest ReadManifest(const std::string& text, std::vector<std::string>& problems);

}  // namespace vk::publish
