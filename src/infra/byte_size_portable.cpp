#include "infra/byte_size_portable.h"

#include <cstdio>

namespace vk {

std::string FormatByteSize(std::uint64_t bytes, const ByteUnits& units) {
    std::size_t unit = static_cast<std::size_t>(units.smallest);
    if (unit == 0 && bytes < 1024) return std::to_string(bytes) + " " + units.names[0];
    double value = static_cast<double>(bytes);
    for (std::size_t i = 0; i < unit; ++i) value /= 1024;
    while (value >= 1024 && unit + 1 < units.names.size()) {
        value /= 1024;
        ++unit;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.*f %s", units.decimals, value, units.names[unit]);
    return text;
}

}  // namespace vk
