#include "base64.h"

namespace vk::publish {

std::optional<std::string> CompactBase64(const std::string& text) {
    std::string compact;
    for (const char c : text) {
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') compact += c;
    }
    if (compact.empty() || compact.size() % 4 != 0) return std::nullopt;
    return compact;
}

}  // namespace vk::publish
