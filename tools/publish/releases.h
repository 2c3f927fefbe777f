#pragma once
// The releases a store holds, newest first, with what a publisher picks one by: build id, version,
// date, size, the channels naming it, and whether the store still holds all its blobs.
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "release_catalog.h"

namespace vk::publish {

struct ReleaseEntry {
    StoredRelease release;
    std::uint64_t bytes = 0;            // of all its files
    std::vector<std::string> channels;  // naming it, sorted
    std::uint64_t missingBlobs = 0;     // of its files, absent from the store or of another size
};

struct ReleasesReport {
    // By publication time, newest first; lists from before they were dated come last, by path.
    std::vector<ReleaseEntry> releases;
    std::vector<std::string> problems;  // lists and manifests that cannot be read
};

// With options.channel, only the release that channel names; throws when it has no manifest.
ReleasesReport ListReleases(const ReleasesOptions& options);

}  // namespace vk::publish
