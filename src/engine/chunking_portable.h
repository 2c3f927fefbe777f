#pragma once
// Content-defined chunking (FastCDC with normalised chunking): a file is cut where the content says,
// not at fixed offsets, so an insertion or deletion moves only the boundaries next to it and every
// later chunk stays as it was. The launcher and the publisher tools cut with this one code; a chunk
// index written by one is read by the other, so its results must never change once stores exist.
//
// The cut rule. A gear hash runs over each chunk: h = (h << 1) + kGear[byte], 64 bits, from 0 before
// the chunk's byte kMinChunk - 64 (counting from 0). A byte leaves the hash 64 shifts later, so from
// the minimum size on h depends on the last 64 bytes alone, never on where the chunk began. The chunk
// ends after its byte n (counting from 1) when
//   n == kMaxChunk, or
//   n >= kMinChunk and (h & mask) == 0, where mask is the top 16 bits of h while n < kAverageChunk and
//   the top 12 bits from then on (the stricter mask first narrows the spread of chunk sizes).
// The last chunk of a file is what remains, of 1 byte to kMaxChunk.
//
// The gear table. kGear[i] is the (i + 1)th output of SplitMix64 seeded with 0x56454C4B41524344
// ("VELKARCD"): state += 0x9E3779B97F4A7C15; z = state; z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
// z = (z ^ (z >> 27)) * 0x94D049BB133111EB; output z ^ (z >> 31).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vk {

inline constexpr std::uint32_t kMinChunk = 4 << 10;
inline constexpr std::uint32_t kAverageChunk = 16 << 10;
inline constexpr std::uint32_t kMaxChunk = 64 << 10;

inline constexpr std::uint64_t kGearSeed = 0x56454C4B41524344;

// The next output of SplitMix64 from state, which it advances.
constexpr std::uint64_t SplitMix64(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
}

inline constexpr std::array<std::uint64_t, 256> kGear = [] {
    std::array<std::uint64_t, 256> table{};
    std::uint64_t state = kGearSeed;
    for (std::uint64_t& value : table) value = SplitMix64(state);
    return table;
}();

// Cuts a stream of any length, fed in pieces of any size, into chunks. The boundaries depend only on
// the bytes, never on how they were split into pieces.
class Chunker {
public:
    struct Step {
        std::size_t taken = 0;    // bytes of the piece that belong to the current chunk
        std::uint32_t ended = 0;  // when the current chunk ends with them, its length; the next byte starts a new one
    };

    // Takes bytes of the piece into the current chunk, up to and including its last byte if it ends
    // inside the piece. Call again with the rest of the piece until it is all taken.
    Step Take(std::span<const unsigned char> piece);

    // The length of the chunk taken so far and not ended (the file's last chunk at its end).
    std::uint32_t Pending() const { return length_; }

private:
    std::uint32_t length_ = 0;
    std::uint64_t hash_ = 0;
};

// The chunk lengths of bytes held whole in memory.
std::vector<std::uint32_t> ChunkLengths(std::span<const unsigned char> bytes);

}  // namespace vk
