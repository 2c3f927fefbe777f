#pragma once
// The OpenSSL objects the publisher tools use, each freed on every path, and the reading of keys.
#include <openssl/bio.h>
#include <openssl/evp.h>

#include <memory>
#include <string>

namespace vk::publish {

struct FreeBio {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct FreeDigestContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct FreeKey {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

using Bio = std::unique_ptr<BIO, FreeBio>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, FreeDigestContext>;
using Key = std::unique_ptr<EVP_PKEY, FreeKey>;

// Throws the message with OpenSSL's reason for the last failure, and clears the failure.
[[noreturn]] void ThrowOpenSsl(const std::string& what);

// A read-only memory stream over the text.
Bio ReadBio(const std::string& text);

// Throws unless the text is a PEM public key.
Key ReadPublicKey(const std::string& pem);

}  // namespace vk::publish
