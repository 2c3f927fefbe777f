#pragma once
// Checks many files on several threads while keeping the answer the sequential walk would give.
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace vk {

struct CheckOutcome {
    enum class State { NotRun, Good, Bad, Failed };
    State state = State::NotRun;
    std::exception_ptr error;  // when Failed
};

// Runs check(i) for every index on up to `workers` threads, handing indexes out in ascending
// order. A failure (exception) stops the hand-out; a bad result stops it too when stopAtFirstBad.
// An index before a bad or failed one is always run, so the first non-good outcome in index
// order is the one a sequential walk would have met.
std::vector<CheckOutcome> CheckInParallel(std::size_t count, bool stopAtFirstBad,
                                          const std::function<bool(std::size_t)>& check);

// The number of threads that hash files at once.
unsigned HashingThreads();

}  // namespace vk
