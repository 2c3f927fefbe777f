#pragma once
// RSA signature checks of signed documents (RSASSA-PKCS1-v1_5, SHA-256) through Crypt32 and CNG.
#include <string>

namespace vk {

enum class Base64Form {
    Bare,        // Base64 only, as in .sig documents
    PemHeaders,  // a block between "-----BEGIN ...-----" and "-----END ...-----" lines
};

// The decoded bytes; throws "Base64 解码" when the text is not in the given form.
std::string DecodeBase64(const std::string& text, Base64Form form);

// True when the Base64 signature text signs exactly these bytes under the PEM public key (RSA,
// SubjectPublicKeyInfo). A bad or undecodable signature is false; only a bad key or the platform throws.
bool VerifySignature(const std::string& data, const std::string& signatureText, const std::string& publicKeyPem);

}  // namespace vk
