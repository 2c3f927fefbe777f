#pragma once
// The release records: plain values copied freely between threads. ReleaseFile, an entry of the
// release file list, belongs to the documents' model.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/release_documents_portable.h"

namespace vk {

// The newest launcher and the banner picture offered by the manifest.
struct LauncherInfo {
    std::string launcherVersion;  // empty: no usable launcher offer
    std::string launcherSha256;
    std::uint64_t launcherSize = 0;
    std::string bannerSha256;     // empty: no banner
    std::uint64_t bannerSize = 0;
};

// A verified release: the signed manifest and the file list it vouches for.
struct RemoteRelease {
    std::string manifestText;   // windows.json exactly as received
    std::string signatureText;  // windows.json.sig exactly as received
    std::string buildId;
    std::string projectVersion;
    std::string minLauncherVersion;
    std::string launchPath;
    std::vector<std::string> launchArgs;
    std::uint64_t totalSize = 0;  // all files of every group
    std::optional<std::uint64_t> sequence;  // the manifest's publication number, when it has one
    std::string published;                  // the manifest's publication time; empty when absent
    std::string expires;                    // when the manifest stops being taken; empty: never
    std::vector<ReleaseFile> files;
    LauncherInfo launcher;
};

struct InstalledFile {
    std::string sha256;
    std::uint64_t size = 0;

    bool operator==(const InstalledFile&) const = default;
};

// What installed.json records. An empty buildId means unknown, not installed, or an update that
// did not finish.
struct InstalledState {
    std::string buildId;
    std::map<std::string, InstalledFile> files;  // by release path, exact bytes

    bool operator==(const InstalledState&) const = default;
};

}  // namespace vk
