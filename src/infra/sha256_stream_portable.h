#pragma once
// SHA-256 over a stream of bytes given in pieces of any length: the padding and the buffering of
// partial blocks around a compression function (sha256_blocks_portable.h).
#include <cstddef>
#include <cstdint>

#include "infra/sha256_blocks_portable.h"

namespace vk {

class Sha256Stream {
public:
    explicit Sha256Stream(Sha256Blocks blocks);

    void Add(const void* bytes, std::size_t length);
    // The digest of everything added since the stream was made or last finished; the stream is then
    // ready for the next one.
    void Finish(unsigned char (&digest)[32]);

private:
    void Restart();

    Sha256Blocks blocks_;
    std::uint32_t state_[8];
    std::uint64_t length_;       // bytes added since the start
    unsigned char pending_[64];  // the start of an incomplete block
    std::size_t pendingLength_;
};

}  // namespace vk
