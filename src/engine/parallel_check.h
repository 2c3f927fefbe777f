#pragma once
// Checks many files on several threads while keeping the answer the sequential walk would give.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include "infra/sha256.h"

namespace vk {

struct CheckOutcome {
    enum class State { NotRun, Good, Bad, Failed };
    State state = State::NotRun;
    std::exception_ptr error;  // when Failed
};

// Runs check(i, abandon, hasher) for every index on several threads, handing out the index of the
// largest size first (equal sizes in ascending index order), so that a large file met last does not
// leave the other threads idle. A failure (exception) stops the hand-out past its index; a bad
// result stops it too when stopAtFirstBad. An index before a bad or failed one is always run, so the
// first non-good outcome in index order is the one a sequential walk would have met. Checks of later
// indexes still running then no longer matter: their `abandon` flag is set, and a check that sees it
// may end at once by throwing (its outcome is Failed and lies past the answer). Each thread hands
// every check it runs the same hasher of its own.
using IndexCheck = std::function<bool(std::size_t index, const std::atomic<bool>& abandon, FileHasher& hasher)>;
std::vector<CheckOutcome> CheckInParallel(const std::vector<std::uint64_t>& sizes, bool stopAtFirstBad,
                                          const IndexCheck& check);

// The number of threads that hash files at once.
unsigned HashingThreads();

}  // namespace vk
