#pragma once
// The progress record of the engine's long operations: independent atomics written by engine
// threads and read by the interface at any time.
#include <atomic>
#include <cstdint>

namespace vk {

enum class UpdatePhase : std::int32_t { Idle = 0, Verifying = 1, Downloading = 2, Installing = 3 };

struct UpdateProgress {
    std::atomic<UpdatePhase> phase{UpdatePhase::Idle};
    std::atomic<std::uint64_t> bytesDone{0};
    std::atomic<std::uint64_t> bytesTotal{0};
    std::atomic<std::uint32_t> filesDone{0};
    std::atomic<std::uint32_t> filesTotal{0};
};

}  // namespace vk
