#pragma once
// One writer per store: publishing a release, placing news and deleting blobs each hold the store's
// lock for their whole run, so that a garbage collection never deletes blobs a publish has just
// written and two publishes never interleave their manifests.
#include <filesystem>
#include <memory>

#include "system.h"

namespace vk::publish {

class StoreWriteLock {
public:
    // Waits up to waitSeconds for another writer to finish; throws naming the store after that.
    StoreWriteLock(const std::filesystem::path& store, int waitSeconds);

    static const char kFileName[];

private:
    std::unique_ptr<FileLock> lock_;
};

}  // namespace vk::publish
