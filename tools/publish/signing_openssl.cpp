#include "signing.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <stdexcept>

#include "base64.h"
#include "openssl_support.h"

namespace vk::publish {

struct SigningKey::Backend {
    Key key;
};

namespace {

constexpr int kKeyBits = 3072;

std::string WriteBio(const char* what, int (*write)(BIO*, EVP_PKEY*), EVP_PKEY* key) {
    Bio bio(BIO_new(BIO_s_mem()));
    if (!bio || write(bio.get(), key) != 1) ThrowOpenSsl(std::string("cannot write the ") + what);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

int WritePrivate(BIO* bio, EVP_PKEY* key) {
    return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
}

int WritePublic(BIO* bio, EVP_PKEY* key) {
    return PEM_write_bio_PUBKEY(bio, key);
}

std::string WithCrlf(const std::string& text) {
    std::string converted;
    for (const char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

}  // namespace

KeyPair GenerateSigningKey() {
    const Key key(EVP_RSA_gen(kKeyBits));
    if (!key) ThrowOpenSsl("cannot generate an RSA key");
    return {WriteBio("private key", WritePrivate, key.get()), WithCrlf(WriteBio("public key", WritePublic, key.get()))};
}

SigningKey SigningKey::FromPem(const std::string& pem) {
    const Bio bio = ReadBio(pem);
    Key key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (!key) ThrowOpenSsl("the signing key is not a PEM private key");
    if (EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA || EVP_PKEY_get_bits(key.get()) != kKeyBits) {
        throw std::runtime_error("the signing key must be an RSA key of 3072 bits");
    }
    return SigningKey(std::make_shared<const Backend>(std::move(key)));
}

std::string SigningKey::SignBase64(const std::string& data) const {
    const DigestContext context(EVP_MD_CTX_new());
    EVP_PKEY* key = backend_->key.get();
    std::string signature(static_cast<std::size_t>(EVP_PKEY_get_size(key)), '\0');
    std::size_t size = signature.size();
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key) != 1 ||
        EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(data.data()), data.size()) != 1) {
        ThrowOpenSsl("cannot sign");
    }
    signature.resize(size);
    return EncodeBase64(signature);
}

std::string SigningKey::PublicPem() const { return WithCrlf(WriteBio("public key", WritePublic, backend_->key.get())); }

void CheckPublicKey(const std::string& publicKeyPem) {
    ReadPublicKey(publicKeyPem);
}

}  // namespace vk::publish
