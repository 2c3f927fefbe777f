#pragma once
// Base64 without line breaks, the form of the signature documents. Back-ends: OpenSSL
// (base64_openssl.cpp) and Crypt32 (base64_cng.cpp).
#include <optional>
#include <string>

namespace vk::publish {

std::string EncodeBase64(const std::string& bytes);

// The decoded bytes, or nothing when the text is not Base64. Line breaks and blanks are ignored.
std::optional<std::string> DecodeBase64(const std::string& text);

// The text without line breaks and blanks, or nothing when it is empty or its length is not a
// whole number of Base64 quads (some decoders would accept such text).
std::optional<std::string> CompactBase64(const std::string& text);

}  // namespace vk::publish
