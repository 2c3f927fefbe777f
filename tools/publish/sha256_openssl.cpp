// The OpenSSL back-end of the portable SHA-256 interface.
#include <openssl/evp.h>

#include <stdexcept>

#include "infra/sha256_portable.h"
#include "openssl_support.h"

namespace vk {

struct Sha256Hasher::Backend {
    publish::DigestContext context{EVP_MD_CTX_new()};
};

namespace {

void StartDigest(EVP_MD_CTX* context) {
    if (context == nullptr || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("cannot start a SHA-256 digest");
    }
}

}  // namespace

Sha256Hasher::Sha256Hasher() : backend_(std::make_unique<Backend>()) {
    StartDigest(backend_->context.get());
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Add(const void* bytes, std::size_t length) {
    if (EVP_DigestUpdate(backend_->context.get(), bytes, length) != 1) {
        throw std::runtime_error("SHA-256 digest failed");
    }
}

std::string Sha256Hasher::Finish() {
    unsigned char digest[32];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(backend_->context.get(), digest, &length) != 1 || length != sizeof digest) {
        throw std::runtime_error("SHA-256 digest failed");
    }
    StartDigest(backend_->context.get());
    return DigestText(digest);
}

}  // namespace vk
