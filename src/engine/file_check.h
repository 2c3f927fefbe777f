#pragma once
// Whether an installed file is the release's file: the one check that the update and the check
// before launch share.
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/release.h"
#include "infra/sha256.h"

namespace vk {

// True when a regular file at `path` has the release file's size (one attribute query).
bool IsPresentWithSize(const std::wstring& path, const ReleaseFile& file);

struct HashCheck {
    bool matches = false;
    std::uint64_t hashed = 0;  // bytes added to the counter while hashing
};

// When the file is present with the right size, hashes it with the caller's hasher, adding the bytes
// read to `bytesDone` block by block; it matches when its digest is the release file's. Throws
// Cancelled when `stop` or `abandon` is set between blocks (the bytes added so far stay added).
HashCheck HashInstalledFile(const std::wstring& path, const ReleaseFile& file, FileHasher& hasher,
                            const std::atomic<bool>& stop, const std::atomic<bool>& abandon,
                            std::atomic<std::uint64_t>& bytesDone);

}  // namespace vk
