#include "parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vk::publish {
namespace {

class WorkQueue {
public:
    WorkQueue(const std::vector<std::size_t>& order, const ParallelJob& job) : order_(order), job_(job) {}

    void Work() {
        std::vector<char> buffer(kReadBlockSize);
        for (std::size_t next; !failed_ && (next = next_++) < order_.size();) {
            try {
                job_(order_[next], buffer);
            } catch (...) {
                Fail(std::current_exception());
            }
        }
        std::lock_guard lock(mutex_);
        ++finished_;
        changed_.notify_all();
    }

    // Returns once the given number of workers have finished, ticking meanwhile.
    void Wait(std::size_t workers, const std::function<void()>& tick) {
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, std::chrono::milliseconds(250), [&] { return finished_ == workers; })) {
            lock.unlock();
            tick();
            lock.lock();
        }
    }

    void RethrowFailure() const {
        if (error_) std::rethrow_exception(error_);
    }

private:
    void Fail(std::exception_ptr error) {
        std::lock_guard lock(mutex_);
        if (!error_) error_ = error;
        failed_ = true;
    }

    const std::vector<std::size_t>& order_;
    const ParallelJob& job_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t finished_ = 0;
    std::exception_ptr error_;
};

}  // namespace

void RunInParallel(const std::vector<std::size_t>& order, const ParallelJob& job, const std::function<void()>& tick) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min(cores, order.size());
    WorkQueue queue(order, job);
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < workers; ++i) threads.emplace_back([&queue] { queue.Work(); });
    queue.Wait(workers, tick);
    threads.clear();
    tick();
    queue.RethrowFailure();
}

}  // namespace vk::publish
