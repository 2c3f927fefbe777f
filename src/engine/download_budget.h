#pragma once
// A download's speed limit: one budget that every connection of the run pays for the bytes it reads,
// so together they keep to the limit however many there are.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vk {

class DownloadBudget {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    using Sleep = std::function<void(Clock::duration)>;

    // bytesPerSecond > 0. Tests pass their own clock and sleep.
    explicit DownloadBudget(std::uint64_t bytesPerSecond, Now now = Clock::now, Sleep sleep = SleepFor);

    // Pays for bytes already read: waits until the budget has room for them. A connection idle
    // for a while may read a little ahead (a tenth of a second's worth), no more.
    void Spend(std::uint64_t bytes);

    // The most a connection should read at once, so that no connection waits long for its turn.
    std::uint32_t LargestRead() const;

private:
    static void SleepFor(Clock::duration length);

    const std::uint64_t bytesPerSecond_;
    const Now now_;
    const Sleep sleep_;
    std::mutex mutex_;
    Clock::time_point paidUntil_{};  // when the bytes paid for so far have had their time
};

}  // namespace vk
