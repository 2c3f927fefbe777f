#include "infra/sha256_portable.h"

namespace vk {

std::string DigestText(const unsigned char (&digest)[32]) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (unsigned char byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 0x0F]);
    }
    return text;
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256Hasher hasher;
    hasher.Add(bytes.data(), bytes.size());
    return hasher.Finish();
}

}  // namespace vk
