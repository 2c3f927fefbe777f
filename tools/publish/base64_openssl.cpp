#include "base64.h"

#include <openssl/evp.h>

#include <vector>

namespace vk::publish {

std::string EncodeBase64(const std::string& bytes) {
    std::vector<unsigned char> text(4 * ((bytes.size() + 2) / 3) + 1);
    const int length = EVP_EncodeBlock(text.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    return std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(length));
}

std::optional<std::string> DecodeBase64(const std::string& text) {
    const std::optional<std::string> quads = CompactBase64(text);
    if (!quads) return std::nullopt;
    const std::string& compact = *quads;
    std::vector<unsigned char> bytes(compact.size() / 4 * 3);
    const int length = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(compact.data()),
                                       static_cast<int>(compact.size()));
    if (length < 0) return std::nullopt;
    // The block decoder counts the padding as zero bytes.
    const std::size_t padding = compact.ends_with("==") ? 2 : compact.ends_with("=") ? 1 : 0;
    return std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(length) - padding);
}

}  // namespace vk::publish
