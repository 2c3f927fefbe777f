#pragma once
// The launcher's hashing: the portable hasher, and the digest of a file read from disk.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "infra/sha256_portable.h"

namespace vk {

using HashProgress = std::function<void(std::uint64_t)>;

// Hashes files one after the other on one thread, reading each a block at a time into one buffer,
// its own of 4 MiB or the caller's. A thread that checks many files keeps one, so that no file costs
// a hash object or a fresh buffer. Not for use by two threads at once.
class FileHasher {
public:
    FileHasher();
    // Reads through `buffer`, which must outlive the hasher.
    explicit FileHasher(std::span<unsigned char> buffer);

    // The digest text of a file's content. Throws Cancelled when *stop is set at a block boundary;
    // progress receives the running total of bytes hashed after each block.
    std::string HashFile(const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                         const HashProgress& progress = {});

    // The same, read from the current position of a file the caller holds open; path names it in messages.
    std::string HashOpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                             const HashProgress& progress = {});

private:
    Sha256Hasher hasher_;
    std::unique_ptr<unsigned char[]> ownBuffer_;
    std::span<unsigned char> buffer_;
};

// One file's digest with a hasher of its own, for callers that hash a file now and then.
std::string Sha256File(const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                       const HashProgress& progress = {});
std::string Sha256OpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                           const HashProgress& progress = {});

}  // namespace vk
