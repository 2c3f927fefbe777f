#pragma once
// Rollback protection: the highest manifest sequence this computer has verified for each channel,
// kept in the cache folder beside the cached manifest. A server that later offers a lower one
// (an old manifest replayed with its valid signature) is refused.
#include <cstdint>
#include <string>

namespace vk {

// 0 when nothing is remembered for the channel, or the memory cannot be read.
std::uint64_t SeenSequence(const std::wstring& cacheDir, const std::string& channel);

// Raises the channel's remembered sequence to `sequence`; a lower one changes nothing. Throws when
// the memory cannot be written.
void RememberSequence(const std::wstring& cacheDir, const std::string& channel, std::uint64_t sequence);

}  // namespace vk
