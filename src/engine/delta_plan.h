#pragma once
// How to rebuild a changed file from the player's old copy and the new file's chunk index: each
// chunk the old copy already holds is copied from it, the rest is fetched by range from the new
// file's whole blob. A pure plan; fetching and assembling are the caller's.
#include <cstdint>
#include <vector>

#include "engine/chunk_index_portable.h"

namespace vk {

// Fetched chunks closer than this are fetched as one range, gap included: a request costs more
// than the bytes between them.
inline constexpr std::uint64_t kDeltaMergeGap = 64 << 10;

struct DeltaStep {
    enum class Source { Local, Remote };
    Source source = Source::Remote;
    std::uint64_t from = 0;    // offset in the old copy (Local) or in the new file's blob (Remote)
    std::uint64_t length = 0;  // bytes; the steps follow one another through the new file
};

struct DeltaPlan {
    std::vector<DeltaStep> steps;  // in new-file order, covering it exactly
    std::uint64_t fetchBytes = 0;  // what the Remote steps fetch
    std::uint64_t ranges = 0;      // how many requests they take
};

// `old` is the old copy cut and hashed with the target's chunking; a chunk of the target whose length
// and digest a chunk of the old copy has is copied from the first such one. Runs of steps that
// continue one another in their source are joined.
DeltaPlan PlanDelta(const ChunkIndex& old, const ChunkIndex& target);

}  // namespace vk
