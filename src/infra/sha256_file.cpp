#include "infra/sha256.h"

#include <algorithm>
#include <memory>

#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/text.h"

namespace vk {

namespace {

constexpr DWORD kFileBlock = 0x400000;

}  // namespace

FileHasher::FileHasher()
    : ownBuffer_(std::make_unique_for_overwrite<unsigned char[]>(kFileBlock)), buffer_(ownBuffer_.get(), kFileBlock) {}

FileHasher::FileHasher(std::span<unsigned char> buffer) : buffer_(buffer) {}

std::string FileHasher::HashFile(const std::wstring& path, const std::atomic<bool>* stop,
                                 const HashProgress& progress) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowLastError("无法读取 " + WideToUtf8(path));
    return HashOpenFile(file.get(), path, stop, progress);
}

std::string FileHasher::HashOpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop,
                                     const HashProgress& progress) {
    const DWORD block = static_cast<DWORD>(std::min<std::size_t>(buffer_.size(), kFileBlock));
    try {
        std::uint64_t total = 0;
        for (;;) {
            if (stop != nullptr && stop->load()) throw Cancelled();
            DWORD read = 0;
            if (!ReadFile(file, buffer_.data(), block, &read, nullptr)) ThrowLastError("读取失败 " + WideToUtf8(path));
            if (read == 0) break;
            hasher_.Add(buffer_.data(), read);
            total += read;
            if (progress) progress(total);
        }
    } catch (...) {
        // The bytes of an abandoned file must not reach the next file's digest.
        hasher_.Finish();
        throw;
    }
    return hasher_.Finish();
}

std::string Sha256File(const std::wstring& path, const std::atomic<bool>* stop, const HashProgress& progress) {
    return FileHasher().HashFile(path, stop, progress);
}

std::string Sha256OpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop,
                           const HashProgress& progress) {
    return FileHasher().HashOpenFile(file, path, stop, progress);
}

}  // namespace vk
