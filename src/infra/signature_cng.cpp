#include "infra/signature.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include "infra/errors.h"
#include "infra/handles.h"

namespace vk {

namespace {

UniqueCryptoKey ImportPublicKey(const std::string& publicKeyPem) {
    const std::string der = DecodeBase64(publicKeyPem, Base64Form::PemHeaders);
    void* decoded = nullptr;
    DWORD decodedSize = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, reinterpret_cast<const BYTE*>(der.data()),
                             static_cast<DWORD>(der.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded,
                             &decodedSize)) {
        ThrowLastError("公钥格式");
    }
    const UniqueLocalMemory info(decoded);
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!CryptImportPublicKeyInfoEx2(X509_ASN_ENCODING, static_cast<CERT_PUBLIC_KEY_INFO*>(info.get()), 0, nullptr,
                                     &key)) {
        ThrowLastError("公钥导入");
    }
    return UniqueCryptoKey(key);
}

struct Sha256Digest {
    unsigned char bytes[32];
};

Sha256Digest DigestOf(const std::string& data) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    CheckStatus(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256");
    UniqueAlgorithmProvider provider(handle);
    Sha256Digest digest{};
    const NTSTATUS status =
        BCryptHash(provider.get(), nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                   static_cast<ULONG>(data.size()), digest.bytes, sizeof digest.bytes);
    provider.reset();
    CheckStatus(status, "SHA-256");
    return digest;
}

}  // namespace

std::string DecodeBase64(const std::string& text, Base64Form form) {
    const DWORD flags = form == Base64Form::PemHeaders ? CRYPT_STRING_BASE64HEADER : CRYPT_STRING_BASE64;
    const auto length = static_cast<DWORD>(text.size());
    DWORD size = 0;
    if (!CryptStringToBinaryA(text.c_str(), length, flags, nullptr, &size, nullptr, nullptr)) {
        ThrowLastError("Base64 解码");
    }
    std::string bytes(size, '\0');
    if (!CryptStringToBinaryA(text.c_str(), length, flags, reinterpret_cast<BYTE*>(bytes.data()), &size, nullptr,
                              nullptr)) {
        ThrowLastError("Base64 解码");
    }
    bytes.resize(size);
    return bytes;
}

bool VerifySignature(const std::string& data, const std::string& signatureText, const std::string& publicKeyPem) {
    const UniqueCryptoKey key = ImportPublicKey(publicKeyPem);
    std::string signature;
    try {
        signature = DecodeBase64(signatureText, Base64Form::Bare);
    } catch (const std::exception&) {
        return false;  // text that is not Base64 cannot be a valid signature
    }
    Sha256Digest digest = DigestOf(data);
    BCRYPT_PKCS1_PADDING_INFO padding{BCRYPT_SHA256_ALGORITHM};
    const NTSTATUS status =
        BCryptVerifySignature(key.get(), &padding, digest.bytes, sizeof digest.bytes,
                              reinterpret_cast<PUCHAR>(signature.data()), static_cast<ULONG>(signature.size()),
                              BCRYPT_PAD_PKCS1);
    return status >= 0;
}

}  // namespace vk
