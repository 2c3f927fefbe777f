#pragma once
// Finds the blobs that no kept release needs: the releases of the current channel manifests,
// their launcher and banner, and any release list named on the command line.
#include <cstdint>
#include <vector>

#include "command_line.h"
#include "engine/release_documents_portable.h"

namespace vk::publish {

struct GcReport {
    std::vector<BlobRef> unreferenced;  // sorted by digest
    std::uint64_t referenced = 0;       // distinct digests the kept releases name
};

// Deletes the unreferenced blobs only when options.deleteBlobs is set. Throws, without deleting
// anything, when a kept manifest or release list cannot be read completely: a blob is never
// removed on a guess.
GcReport CollectGarbage(const GcOptions& options);

}  // namespace vk::publish
