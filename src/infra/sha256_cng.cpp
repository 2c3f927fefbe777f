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

}  // namespace

struct Sha256Hasher::Backend {
    // Declared first so that it is closed after the hash object that belongs to it.
    UniqueAlgorithmProvider provider;
    UniqueHashObject hash;
};

Sha256Hasher::Sha256Hasher() : backend_(std::make_unique<Backend>()) {
    BCRYPT_ALG_HANDLE provider = nullptr;
    CheckStatus(BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256 初始化");
    backend_->provider.reset(provider);
    BCRYPT_HASH_HANDLE hash = nullptr;
    CheckStatus(BCryptCreateHash(backend_->provider.get(), &hash, nullptr, 0, nullptr, 0, 0), "SHA-256 初始化");
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

std::string Sha256File(const std::wstring& path, const std::atomic<bool>* stop,
                       const std::function<void(std::uint64_t)>& progress) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowLastError("无法读取 " + WideToUtf8(path));
    return Sha256OpenFile(file.get(), path, stop, progress);
}

std::string Sha256OpenFile(HANDLE file, const std::wstring& path, const std::atomic<bool>* stop,
                           const std::function<void(std::uint64_t)>& progress) {
    Sha256Hasher hasher;
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kFileBlock);
    std::uint64_t total = 0;
    for (;;) {
        if (stop != nullptr && stop->load()) throw Cancelled();
        DWORD read = 0;
        if (!ReadFile(file, buffer.get(), kFileBlock, &read, nullptr)) ThrowLastError("读取失败 " + WideToUtf8(path));
        if (read == 0) break;
        hasher.Add(buffer.get(), read);
        total += read;
        if (progress) progress(total);
    }
    return hasher.Finish();
}

}  // namespace vk
