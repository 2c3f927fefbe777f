#include "engine/chunking_portable.h"

#include <algorithm>

namespace vk {
namespace {

// The bytes before this offset of a chunk never reach the hash: skipping them is most of the speed.
constexpr std::uint32_t kHashStart = kMinChunk - 64;
constexpr std::uint64_t kMaskBelowAverage = 0xFFFFull << 48;  // 16 bits: a cut about every 64 KiB
constexpr std::uint64_t kMaskFromAverage = 0xFFFull << 52;    // 12 bits: a cut about every 4 KiB

}  // namespace

Chunker::Step Chunker::Take(std::span<const unsigned char> piece) {
    std::size_t i = 0;
    // Bytes before the hash starts are only counted.
    if (length_ < kHashStart) {
        const std::size_t skip = std::min<std::size_t>(piece.size(), kHashStart - length_);
        i = skip;
        length_ += static_cast<std::uint32_t>(skip);
    }
    for (; i < piece.size(); ++i) {
        hash_ = (hash_ << 1) + kGear[piece[i]];
        ++length_;
        if (length_ < kMinChunk) continue;
        const std::uint64_t mask = length_ < kAverageChunk ? kMaskBelowAverage : kMaskFromAverage;
        if ((hash_ & mask) == 0 || length_ == kMaxChunk) {
            const std::uint32_t ended = length_;
            length_ = 0;
            hash_ = 0;
            return {i + 1, ended};
        }
    }
    return {i, 0};
}

std::vector<std::uint32_t> ChunkLengths(std::span<const unsigned char> bytes) {
    std::vector<std::uint32_t> lengths;
    Chunker chunker;
    while (!bytes.empty()) {
        const Chunker::Step step = chunker.Take(bytes);
        if (step.ended != 0) lengths.push_back(step.ended);
        bytes = bytes.subspan(step.taken);
    }
    if (chunker.Pending() > 0) lengths.push_back(chunker.Pending());
    return lengths;
}

}  // namespace vk
