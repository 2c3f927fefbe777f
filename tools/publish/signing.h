#pragma once
// The release-signing key: RSA 3072, RSASSA-PKCS1-v1_5 with SHA-256 over a document's exact
// bytes, the signature written as Base64 on one line.
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

// True when the Base64 signature is valid for the data under the PEM public key; false for a
// wrong or undecodable signature. Throws when the key itself cannot be read.
bool VerifySignature(const std::string& publicKeyPem, const std::string& data, const std::string& signatureText);

}  // namespace vk::publish
