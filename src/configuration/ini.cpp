#include "configuration/ini.h"

namespace vk {

std::string TrimIniText(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == ' ' || text[end - 1] == '"')) --end;
    size_t begin = 0;
    auto isLeading = [](unsigned char c) { return c == ' ' || c == '"' || c == 0xEF || c == 0xBB || c == 0xBF; };
    while (begin < end && isLeading(static_cast<unsigned char>(text[begin]))) ++begin;
    return text.substr(begin, end - begin);
}

std::string ReadIniValue(const std::string& text, const std::string& section, const std::string& key) {
    bool inSection = section.empty();
    const std::string header = "[" + section + "]";
    const std::string prefix = key + "=";
    size_t position = 0;
    while (position < text.size()) {
        size_t lineEnd = text.find('\n', position);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        const std::string line = TrimIniText(text.substr(position, lineEnd - position));
        if (!line.empty() && line[0] == '[') {
            inSection = line == header;
        } else if (inSection && line.compare(0, prefix.size(), prefix) == 0) {
            return TrimIniText(line.substr(prefix.size()));
        }
        position = lineEnd + 1;
    }
    return {};
}

}  // namespace vk
