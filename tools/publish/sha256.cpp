#include "sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace vk::publish {

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (context_ == nullptr || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(context_);
        throw std::runtime_error("cannot start a SHA-256 digest");
    }
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(context_);
}

void Sha256::Add(const char* data, std::size_t size) {
    if (EVP_DigestUpdate(context_, data, size) != 1) throw std::runtime_error("SHA-256 digest failed");
}

std::string Sha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_, digest, &length) != 1) throw std::runtime_error("SHA-256 digest failed");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 0x0F];
    }
    return text;
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256 hasher;
    hasher.Add(bytes.data(), bytes.size());
    return hasher.FinishHex();
}

}  // namespace vk::publish
