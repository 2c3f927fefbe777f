#pragma once
// The release-signing key: RSA 3072, RSASSA-PKCS1-v1_5 with SHA-256 over a document's exact
// bytes, the signature written as Base64 on one line. Checking a signature is the portable
// VerifySignature (infra/signature_portable.h). Back-ends: OpenSSL (signing_openssl.cpp), and CNG
// and Crypt32 (signing_cng.cpp); the key files of either are read by the other.
#include <memory>
#include <string>
#include <utility>

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

    // The public half, in the form the launcher embeds (SubjectPublicKeyInfo PEM, CRLF).
    std::string PublicPem() const;

private:
    struct Backend;  // the platform's key, released with the last copy
    explicit SigningKey(std::shared_ptr<const Backend> backend) : backend_(std::move(backend)) {}

    std::shared_ptr<const Backend> backend_;
};

// Throws unless the text is a PEM public key.
void CheckPublicKey(const std::string& publicKeyPem);

}  // namespace vk::publish
