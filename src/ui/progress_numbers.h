#pragma once
// A copy of the shared progress counters taken at one moment.
#include <cstdint>

#include "engine/progress.h"

namespace vk {

// One frame shows one set of numbers, not counters read at different instants.
struct ProgressNumbers {
    UpdatePhase phase = UpdatePhase::Idle;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::uint32_t filesDone = 0;
    std::uint32_t filesTotal = 0;

    ProgressNumbers() = default;
    // Implicit: every reader of the shared counters takes its copy the same way.
    ProgressNumbers(const UpdateProgress& progress)  // NOLINT(google-explicit-constructor)
        : phase(progress.phase.load()),
          bytesDone(progress.bytesDone.load()),
          bytesTotal(progress.bytesTotal.load()),
          filesDone(progress.filesDone.load()),
          filesTotal(progress.filesTotal.load()) {}
};

}  // namespace vk
