#include "engine/download_budget.h"

#include <algorithm>
#include <thread>

namespace vk {

namespace {

constexpr auto kAhead = std::chrono::milliseconds(100);
constexpr std::uint64_t kSmallestRead = 4096;
constexpr std::uint64_t kLargestRead = 0x100000;

}  // namespace

DownloadBudget::DownloadBudget(std::uint64_t bytesPerSecond, Now now, Sleep sleep)
    : bytesPerSecond_(std::max<std::uint64_t>(1, bytesPerSecond)), now_(std::move(now)), sleep_(std::move(sleep)) {}

void DownloadBudget::SleepFor(Clock::duration length) { std::this_thread::sleep_for(length); }

void DownloadBudget::Spend(std::uint64_t bytes) {
    const auto cost = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(bytes) / static_cast<double>(bytesPerSecond_)));
    Clock::duration wait{};
    {
        std::lock_guard<std::mutex> guard(mutex_);
        const Clock::time_point now = now_();
        // Time left unused while nobody read is not saved up beyond the little a connection may read ahead.
        paidUntil_ = std::max(paidUntil_, now - kAhead) + cost;
        wait = paidUntil_ - now;
    }
    if (wait > Clock::duration::zero()) sleep_(wait);
}

std::uint32_t DownloadBudget::LargestRead() const {
    // An eighth of a second's worth: a handful of connections each take their turn several times a second.
    return static_cast<std::uint32_t>(std::clamp(bytesPerSecond_ / 8, kSmallestRead, kLargestRead));
}

}  // namespace vk
