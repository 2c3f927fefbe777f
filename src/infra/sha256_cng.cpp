#include "infra/sha256.h"

#include <algorithm>
#include <memory>

#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/text.h"

namespace vk {

namespace {

// CNG takes a 32-bit length; larger inputs go in slices of this size.
constexpr std::size_t kMaxSlice = 0x40000000;
constexpr DWORD kFileBlock = 0x400000;

// Opening a provider costs far more than hashing a small file, and one provider serves every thread,
// so the process opens it once. A failed open is tried again by the next hasher.
BCRYPT_ALG_HANDLE SharedProvider() {
    static const UniqueAlgorithmProvider provider = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        CheckStatus(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256 初始化");
        return UniqueAlgorithmProvider(handle);
    }();
    return provider.get();
}

}  // namespace

struct Sha256Hasher::Backend {
    UniqueHashObject hash;
};

Sha256Hasher::Sha256Hasher() : backend_(std::make_unique<Backend>()) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    // Reusable: finishing a digest starts the next one on the same object.
    CheckStatus(BCryptCreateHash(SharedProvider(), &hash, nullptr, 0, nullptr, 0, BCRYPT_HASH_REUSABLE_FLAG),
                "SHA-256 初始化");
    backend_->hash.reset(hash);
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Add(const void* bytes, std::size_t length) {
    auto* next = static_cast<const unsigned char*>(bytes);
    while (length > 0) {
        const std::size_t slice = std::min(length, kMaxSlice);
        CheckStatus(
            BCryptHashData(backend_->hash.get(), const_cast<unsigned char*>(next), static_cast<ULONG>(slice), 0),
            "SHA-256");
        next += slice;
        length -= slice;
    }
}

std::string Sha256Hasher::Finish() {
    unsigned char digest[32];
    CheckStatus(BCryptFinishHash(backend_->hash.get(), digest, sizeof digest, 0), "SHA-256");
    return DigestText(digest);
}

FileHasher::FileHasher() : buffer_(std::make_unique_for_overwrite<unsigned char[]>(kFileBlock)) {}

std::string FileHasher::HashFile(const std::wstring& path, const std::atomic<bool>* stop,
                                 const HashProgress& progress) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowLastError("无法读取 " + WideToUtf8(path));
    return HashOpenFile(file.get(), path, stop, progress);
}

std::string FileHasher::HashOpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop,
                                     const HashProgress& progress) {
    try {
        std::uint64_t total = 0;
        for (;;) {
            if (stop != nullptr && stop->load()) throw Cancelled();
            DWORD read = 0;
            if (!ReadFile(file, buffer_.get(), kFileBlock, &read, nullptr)) {
                ThrowLastError("读取失败 " + WideToUtf8(path));
            }
            if (read == 0) break;
            hasher_.Add(buffer_.get(), read);
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
