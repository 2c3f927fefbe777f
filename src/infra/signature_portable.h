#pragma once
// RSA signature checks of signed documents: RSASSA-PKCS1-v1_5 with SHA-256 over the document's
// exact bytes. One interface, two back-ends: CNG and Crypt32 in the launcher (signature_cng.cpp),
// OpenSSL in the publisher tools.
#include <string>

namespace vk {

// True when the Base64 signature text signs exactly these bytes under the PEM public key (RSA,
// SubjectPublicKeyInfo). A bad or undecodable signature is false; only a bad key or the platform throws.
bool VerifySignature(const std::string& data, const std::string& signatureText, const std::string& publicKeyPem);

}  // namespace vk
