#pragma once
// A byte count as a person reads it: in the largest binary unit (steps of 1024) that keeps the number
// at or above 1, never below the style's smallest unit. The launcher shows "22.0 GB" to players, the
// publisher tool "2.93 GiB" and "512 B" to publishers; only the style differs.
#include <array>
#include <cstdint>
#include <string>

namespace vk {

struct ByteUnits {
    std::array<const char*, 5> names;  // the units of 1, 1024, 1024^2, 1024^3 and 1024^4 bytes
    int smallest;                      // index of the smallest unit shown
    int decimals;                      // digits after the point; a count of plain bytes is whole
};

// What players see: one decimal, from megabytes up.
inline constexpr ByteUnits kPlayerUnits{{"B", "KB", "MB", "GB", "TB"}, 2, 1};
// What publishers see: two decimals, from bytes up.
inline constexpr ByteUnits kPublisherUnits{{"B", "KiB", "MiB", "GiB", "TiB"}, 0, 2};

std::string FormatByteSize(std::uint64_t bytes, const ByteUnits& units);

}  // namespace vk
