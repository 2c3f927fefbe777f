#pragma once
// Work spread over every core: the digests of a release are independent, and OpenSSL's SHA-256
// keeps one core busy per file.
#include <cstddef>
#include <functional>
#include <vector>

namespace vk::publish {

// Size of the one read buffer each worker owns; memory stays bounded whatever the file sizes. Small
// enough that a block stays in the processor's cache while it is read, hashed and written out again.
inline constexpr std::size_t kReadBlockSize = 256 << 10;

using ParallelJob = std::function<void(std::size_t index, std::vector<char>& buffer)>;

// Runs job for every index, in the given order, on one worker thread per core. The first
// failure stops the hand-out of further work and is rethrown once every worker has stopped.
// While the workers run, tick is called on the calling thread about four times a second.
void RunInParallel(const std::vector<std::size_t>& order, const ParallelJob& job, const std::function<void()>& tick);

}  // namespace vk::publish
