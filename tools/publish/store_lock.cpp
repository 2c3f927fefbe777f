#include "store_lock.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "file_io.h"

namespace vk::publish {

const char StoreWriteLock::kFileName[] = ".velkar-publish.lock";

StoreWriteLock::StoreWriteLock(const std::filesystem::path& store, int waitSeconds) {
    std::filesystem::create_directories(store);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (!(lock_ = FileLock::TryAcquire(store / kFileName))) {
        if (std::chrono::steady_clock::now() >= deadline) {
            throw std::runtime_error("another velkar-publish is writing to the store " + Utf8Of(store) + " (waited " +
                                     std::to_string(waitSeconds) +
                                     " s); run this again when it has finished, or give --wait SECONDS");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace vk::publish
