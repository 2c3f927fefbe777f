// The OpenSSL back-end of the portable signature check.
#include <openssl/err.h>
#include <openssl/evp.h>

#include "base64.h"
#include "infra/signature_portable.h"
#include "openssl_support.h"

namespace vk {

bool VerifySignature(const std::string& data, const std::string& signatureText, const std::string& publicKeyPem) {
    const publish::Key key = publish::ReadPublicKey(publicKeyPem);
    const std::optional<std::string> signature = publish::DecodeBase64(signatureText);
    if (!signature) return false;
    const publish::DigestContext context(EVP_MD_CTX_new());
    if (!context || EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1) {
        publish::ThrowOpenSsl("cannot check a signature");
    }
    const int result = EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature->data()),
                                        signature->size(), reinterpret_cast<const unsigned char*>(data.data()),
                                        data.size());
    ERR_clear_error();
    return result == 1;
}

}  // namespace vk
