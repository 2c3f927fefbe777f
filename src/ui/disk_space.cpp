#include "ui/disk_space.h"

#include <windows.h>

#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace vk {

struct DiskSpaceMonitor::Shared {
    FreeSpaceQuery query;
    std::function<void()> onChanged;
    ThreadStart start;
    std::uint64_t period = 0;
    std::mutex lock;
    std::wstring folder;
    std::uint64_t freeBytes = 0;
    std::optional<std::uint64_t> lastStart;
    bool running = false;
};

std::uint64_t QueryFreeSpace(const std::wstring& folder) {
    ULARGE_INTEGER available{};
    if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return available.QuadPart;
    if (folder.size() >= 3 && GetDiskFreeSpaceExW(folder.substr(0, 3).c_str(), &available, nullptr, nullptr)) {
        return available.QuadPart;
    }
    return 0;
}

void StartDetachedThread(std::function<void()> work) { std::thread(std::move(work)).detach(); }

DiskSpaceMonitor::DiskSpaceMonitor(FreeSpaceQuery query, std::function<void()> onChanged,
                                   std::uint64_t periodMilliseconds, ThreadStart start)
    : shared_(std::make_shared<Shared>()) {
    shared_->query = std::move(query);
    shared_->onChanged = std::move(onChanged);
    shared_->period = periodMilliseconds;
    shared_->start = std::move(start);
}

std::uint64_t DiskSpaceMonitor::FreeBytes(const std::wstring& folder, std::uint64_t now) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (folder != shared_->folder) {
        shared_->folder = folder;
        shared_->freeBytes = 0;
        shared_->lastStart.reset();
    }
    const bool due = !shared_->lastStart || now - *shared_->lastStart >= shared_->period;
    if (!shared_->running && due) {
        try {
            shared_->start([shared = shared_, folder] {
                const std::uint64_t value = shared->query(folder);
                {
                    std::lock_guard<std::mutex> done(shared->lock);
                    if (shared->folder == folder) shared->freeBytes = value;
                    shared->running = false;
                }
                if (shared->onChanged) shared->onChanged();
            });
            shared_->running = true;
            shared_->lastStart = now;
        } catch (const std::system_error&) {
            // Painting goes on with the last known value; the next paint asks again.
        }
    }
    return shared_->freeBytes;
}

}  // namespace vk
