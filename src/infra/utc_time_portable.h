#pragma once
// Times in the release documents: UTC in the one ISO 8601 form the publisher writes,
// "2026-12-10T11:46:17Z", counted as seconds since 1970-01-01T00:00:00Z where they are compared.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// The seconds of such a text; nullopt for any other shape or for a date or time that does not exist.
std::optional<std::int64_t> ParseUtcTime(std::string_view text);

// The text of a time from 0000-01-01 to 9999-12-31.
std::string FormatUtcTime(std::int64_t seconds);

// The current time as such a text.
std::string UtcNow();

}  // namespace vk
