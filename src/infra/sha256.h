#pragma once
// The launcher's hashing: the portable hasher, and the digest of a file read from disk.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "infra/sha256_portable.h"

namespace vk {

// The digest text of a file's content, read in 4 MiB blocks. Throws Cancelled when *stop is set at a
// block boundary; progress receives the running total of bytes hashed after each block.
std::string Sha256File(const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                       const std::function<void(std::uint64_t)>& progress = {});

// The same, read from the current position of a file the caller holds open; path names it in messages.
std::string Sha256OpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                           const std::function<void(std::uint64_t)>& progress = {});

}  // namespace vk
