#include "infra/sha256_stream_portable.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vk {

Sha256Stream::Sha256Stream(Sha256Blocks blocks) : blocks_(blocks) { Restart(); }

void Sha256Stream::Restart() {
    static constexpr std::uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::copy(std::begin(kInitialState), std::end(kInitialState), state_);
    length_ = 0;
    pendingLength_ = 0;
}

void Sha256Stream::Add(const void* bytes, std::size_t length) {
    if (length == 0) return;
    auto* next = static_cast<const unsigned char*>(bytes);
    length_ += length;
    if (pendingLength_ > 0) {
        const std::size_t taken = std::min(length, sizeof pending_ - pendingLength_);
        std::memcpy(pending_ + pendingLength_, next, taken);
        pendingLength_ += taken;
        next += taken;
        length -= taken;
        if (pendingLength_ < sizeof pending_) return;
        blocks_(state_, pending_, 1);
        pendingLength_ = 0;
    }
    // Whole blocks straight from the caller's bytes.
    const std::size_t whole = length / 64;
    if (whole > 0) blocks_(state_, next, whole);
    pendingLength_ = length % 64;
    if (pendingLength_ > 0) std::memcpy(pending_, next + whole * 64, pendingLength_);
}

void Sha256Stream::Finish(unsigned char (&digest)[32]) {
    // A 1 bit, zeros up to 8 bytes short of a block's end, then the length in bits, big-endian.
    const std::uint64_t bits = length_ * 8;
    pending_[pendingLength_++] = 0x80;
    if (pendingLength_ > 56) {
        std::memset(pending_ + pendingLength_, 0, sizeof pending_ - pendingLength_);
        blocks_(state_, pending_, 1);
        pendingLength_ = 0;
    }
    std::memset(pending_ + pendingLength_, 0, 56 - pendingLength_);
    for (int i = 0; i < 8; ++i) pending_[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    blocks_(state_, pending_, 1);
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<unsigned char>(state_[i] >> (24 - 8 * j));
    }
    Restart();
}

}  // namespace vk
