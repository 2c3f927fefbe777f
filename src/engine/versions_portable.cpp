#include "engine/versions_portable.h"

#include <cstdint>

namespace vk {
namespace {

// The segment starting at pos, leaving pos on the dot (or the end) that closes it.
std::uint32_t SegmentValue(const std::string& text, std::size_t& pos) {
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] != '.'; ++pos) {
        const char c = text[pos];
        const std::uint32_t digit = (c >= '0' && c <= '9') ? static_cast<std::uint32_t>(c - '0') : 0u;
        value = value * 10u + digit;
    }
    return value;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() || j < b.size()) {
        const std::uint32_t va = SegmentValue(a, i);
        const std::uint32_t vb = SegmentValue(b, j);
        if (va != vb) {
            return va < vb ? -1 : 1;
        }
        ++i;
        ++j;
    }
    return 0;
}

}  // namespace vk
