#pragma once
// Base64 without line breaks, the form of the signature documents.
#include <optional>
#include <string>

namespace vk::publish {

std::string EncodeBase64(const std::string& bytes);

// The decoded bytes, or nothing when the text is not Base64. Line breaks and blanks are ignored.
std::optional<std::string> DecodeBase64(const std::string& text);

}  // namespace vk::publish
