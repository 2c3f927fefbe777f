#include "engine/delta_plan.h"

#include <string>
#include <unordered_map>

namespace vk {
namespace {

using Source = DeltaStep::Source;

// Where each distinct chunk of the old copy starts, by its digest and length.
class OldChunks {
public:
    explicit OldChunks(const ChunkIndex& old) {
        std::uint64_t offset = 0;
        for (const IndexedChunk& chunk : old.chunks) {
            offsets_.emplace(Key(chunk), offset);
            offset += chunk.length;
        }
    }

    // The offset of a chunk with this content, if the old copy has one.
    const std::uint64_t* Find(const IndexedChunk& chunk) const {
        const auto found = offsets_.find(Key(chunk));
        return found == offsets_.end() ? nullptr : &found->second;
    }

private:
    static std::string Key(const IndexedChunk& chunk) { return chunk.sha256 + ":" + std::to_string(chunk.length); }

    std::unordered_map<std::string, std::uint64_t> offsets_;
};

// Appends a step, joining it to the last when it continues it in the same source.
void Append(std::vector<DeltaStep>& steps, DeltaStep step) {
    if (!steps.empty()) {
        DeltaStep& last = steps.back();
        if (last.source == step.source && last.from + last.length == step.from) {
            last.length += step.length;
            return;
        }
    }
    steps.push_back(step);
}

// Copies between two fetches that add up to less than the merge gap are fetched with them.
std::vector<DeltaStep> MergeFetches(const std::vector<DeltaStep>& steps) {
    std::vector<DeltaStep> merged;
    std::uint64_t offset = 0;  // in the new file, where steps[i] starts
    for (std::size_t i = 0; i < steps.size();) {
        if (steps[i].source == Source::Remote) {
            Append(merged, steps[i]);
            offset += steps[i++].length;
            continue;
        }
        std::size_t end = i;  // the run of copies steps[i, end)
        std::uint64_t length = 0;
        for (; end < steps.size() && steps[end].source == Source::Local; ++end) length += steps[end].length;
        const bool between = i > 0 && end < steps.size();
        if (between && length < kDeltaMergeGap) {
            Append(merged, {Source::Remote, offset, length});
        } else {
            for (std::size_t k = i; k < end; ++k) Append(merged, steps[k]);
        }
        offset += length;
        i = end;
    }
    return merged;
}

}  // namespace

DeltaPlan PlanDelta(const ChunkIndex& old, const ChunkIndex& target) {
    const OldChunks local(old);
    std::vector<DeltaStep> steps;
    std::uint64_t offset = 0;
    for (const IndexedChunk& chunk : target.chunks) {
        const std::uint64_t* from = local.Find(chunk);
        Append(steps, from != nullptr ? DeltaStep{Source::Local, *from, chunk.length}
                                      : DeltaStep{Source::Remote, offset, chunk.length});
        offset += chunk.length;
    }
    DeltaPlan plan;
    plan.steps = MergeFetches(steps);
    for (const DeltaStep& step : plan.steps) {
        if (step.source != Source::Remote) continue;
        plan.fetchBytes += step.length;
        ++plan.ranges;
    }
    return plan;
}

}  // namespace vk
