#include "infra/sha256.h"

#include <algorithm>
#include <memory>

#include "infra/errors.h"
#include "infra/text.h"

namespace vk {

namespace {

// CNG takes a 32-bit length; larger inputs go in slices of this size.
constexpr std::size_t kMaxSlice = 0x40000000;
constexpr DWORD kFileBlock = 0x400000;

// High nibble first, lower case: the form every manifest and store name uses.
std::string DigestText(const unsigned char (&digest)[32]) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (unsigned char byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 0x0F]);
    }
    return text;
}

}  // namespace

Sha256Hasher::Sha256Hasher() {
    BCRYPT_ALG_HANDLE provider = nullptr;
    CheckStatus(BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256 初始化");
    provider_.reset(provider);
    BCRYPT_HASH_HANDLE hash = nullptr;
    CheckStatus(BCryptCreateHash(provider_.get(), &hash, nullptr, 0, nullptr, 0, 0), "SHA-256 初始化");
    hash_.reset(hash);
}

void Sha256Hasher::Add(const void* bytes, std::size_t length) {
    auto* next = static_cast<const unsigned char*>(bytes);
    while (length > 0) {
        const std::size_t slice = std::min(length, kMaxSlice);
        CheckStatus(BCryptHashData(hash_.get(), const_cast<unsigned char*>(next), static_cast<ULONG>(slice), 0),
                    "SHA-256");
        next += slice;
        length -= slice;
    }
}

std::string Sha256Hasher::Finish() {
    unsigned char digest[32];
    CheckStatus(BCryptFinishHash(hash_.get(), digest, sizeof digest, 0), "SHA-256");
    return DigestText(digest);
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256Hasher hasher;
    hasher.Add(bytes.data(), bytes.size());
    return hasher.Finish();
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
