#pragma once
// RSA private keys in the DER forms OpenSSL reads and writes: PKCS #8 PrivateKeyInfo around a
// PKCS #1 RSAPrivateKey. Written without a crypto library so that the Windows back-end writes the
// very bytes OpenSSL writes for the same key (Wine's Crypt32 encodes and decodes neither form).
#include <stdexcept>
#include <string>

namespace vk::publish {

// The numbers of a key, each big-endian without leading zero bytes.
struct RsaPrivateNumbers {
    std::string modulus;
    std::string publicExponent;
    std::string privateExponent;
    std::string prime1;
    std::string prime2;
    std::string exponent1;    // d mod (p - 1)
    std::string exponent2;    // d mod (q - 1)
    std::string coefficient;  // q^-1 mod p
};

// PrivateKeyInfo { version 0, rsaEncryption with NULL parameters, RSAPrivateKey }.
std::string EncodePrivateKeyInfo(const RsaPrivateNumbers& key);

// Throws std::runtime_error naming what is wrong when the bytes are not such a structure; a
// PrivateKeyInfo of another algorithm throws NotAnRsaKey.
RsaPrivateNumbers DecodePrivateKeyInfo(const std::string& der);
RsaPrivateNumbers DecodeRsaPrivateKey(const std::string& der);

struct NotAnRsaKey : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The number of significant bits of a big-endian number.
std::size_t BitLength(const std::string& number);

}  // namespace vk::publish
