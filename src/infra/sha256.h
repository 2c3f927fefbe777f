#pragma once
// SHA-256 through CNG. Digests travel as text: 64 lower-case hexadecimal characters, compared byte for byte.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "infra/handles.h"

namespace vk {

// An incremental hash: created ready for data, fed any number of times, finished once.
class Sha256Hasher {
public:
    Sha256Hasher();

    void Add(const void* bytes, std::size_t length);
    // The digest text.
    std::string Finish();

private:
    // Declared first so that it is closed after the hash object that belongs to it.
    UniqueAlgorithmProvider provider_;
    UniqueHashObject hash_;
};

// The digest text of a byte string.
std::string Sha256Hex(const std::string& bytes);

// The digest text of a file's content, read in 4 MiB blocks. Throws Cancelled when *stop is set at a
// block boundary; progress receives the running total of bytes hashed after each block.
std::string Sha256File(const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                       const std::function<void(std::uint64_t)>& progress = {});

// The same, read from the current position of a file the caller holds open; path names it in messages.
std::string Sha256OpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop = nullptr,
                           const std::function<void(std::uint64_t)>& progress = {});

}  // namespace vk
