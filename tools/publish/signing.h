#pragma once
// The release-signing key: RSA 3072, RSASSA-PKCS1-v1_5 with SHA-256 over a document's exact
// bytes, the signature written as Base64 on one line. Checking a signature is the portable
// VerifySignature (infra/signature_portable.h), with OpenSSL in signature_openssl.cpp.
#include <memory>
#include <string>
#include <utility>

struct evp_pkey_st;

namespace vk::publish {

struct KeyPair {
    std::string privatePem;  // PKCS #8, unencrypted
    std::string publicPem;   // SubjectPublicKeyInfo, CRLF line ends, as the launcher embeds it
};

KeyPair GenerateSigningKey();

class SigningKey {
public:
    // Throws unless the text is a PEM private key for RSA 3072.
    static SigningKey FromPem(const std::string& pem);

    std::string SignBase64(const std::string& data) const;

private:
    explicit SigningKey(std::shared_ptr<evp_pkey_st> key) : key_(std::move(key)) {}

    std::shared_ptr<evp_pkey_st> key_;
};

// Throws unless the text is a PEM public key.
void CheckPublicKey(const std::string& publicKeyPem);

}  // namespace vk::publish
