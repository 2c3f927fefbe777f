#include "openssl_support.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <stdexcept>

namespace vk::publish {

[[noreturn]] void ThrowOpenSsl(const std::string& what) {
    char detail[256] = "";
    ERR_error_string_n(ERR_get_error(), detail, sizeof detail);
    ERR_clear_error();
    throw std::runtime_error(what + " (" + detail + ")");
}

Bio ReadBio(const std::string& text) {
    Bio bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (!bio) ThrowOpenSsl("out of memory");
    return bio;
}

Key ReadPublicKey(const std::string& pem) {
    const Bio bio = ReadBio(pem);
    Key key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    if (!key) ThrowOpenSsl("the public key is not a PEM public key");
    return key;
}

}  // namespace vk::publish
