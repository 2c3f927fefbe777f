#include "engine/parallel_check.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/work_order_portable.h"

namespace vk {

unsigned HashingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

std::vector<CheckOutcome> CheckInParallel(const std::vector<std::uint64_t>& sizes, bool stopAtFirstBad,
                                          const IndexCheck& check) {
    const std::size_t count = sizes.size();
    const std::vector<std::size_t> order = LargestFirst(sizes);

    std::vector<CheckOutcome> outcomes(count);
    std::vector<std::atomic<bool>> abandon(count);
    std::vector<bool> started(count);
    std::mutex mutex;
    std::size_t next = 0;       // into order
    std::size_t limit = count;  // indexes at or past it are no longer handed out

    auto worker = [&] {
        std::unique_ptr<FileHasher> hasher;  // made by the first check, so that a failure to make it is its outcome
        for (;;) {
            std::size_t index;
            {
                std::lock_guard<std::mutex> guard(mutex);
                while (next < count && order[next] >= limit) ++next;
                if (next >= count) return;
                index = order[next++];
                started[index] = true;
            }
            CheckOutcome outcome;
            try {
                if (!hasher) hasher = std::make_unique<FileHasher>();
                outcome.state =
                    check(index, abandon[index], *hasher) ? CheckOutcome::State::Good : CheckOutcome::State::Bad;
            } catch (...) {
                outcome.state = CheckOutcome::State::Failed;
                outcome.error = std::current_exception();
            }
            std::lock_guard<std::mutex> guard(mutex);
            outcomes[index] = outcome;
            const bool stops = outcome.state == CheckOutcome::State::Failed ||
                               (stopAtFirstBad && outcome.state == CheckOutcome::State::Bad);
            if (stops && index + 1 < limit) {
                limit = index + 1;
                // Indexes past the limit that were handed out may still be running.
                for (std::size_t later = limit; later < count; ++later) {
                    if (started[later]) abandon[later] = true;
                }
            }
        }
    };

    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(HashingThreads(), count));
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            pool.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // fewer helpers; this thread still does the work
        }
    }
    worker();
    for (auto& thread : pool) thread.join();
    return outcomes;
}

}  // namespace vk
