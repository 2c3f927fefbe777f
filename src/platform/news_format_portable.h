#pragma once
// The news file the publisher places on the update server: a list of dated, bilingual items.
#include <string>
#include <vector>

#include "infra/json_portable.h"

namespace vk {

struct NewsItem {
    std::string date;
    std::string titleZh;
    std::string titleEn;
    std::string bodyZh;
    std::string bodyEn;
};

// Longest text kept per field, and most items kept per file.
inline constexpr std::size_t kNewsTextLimit = 2000;
inline constexpr std::size_t kNewsItemLimit = 50;

// The items in file order. Throws "News file is malformed" when the root is neither an array
// nor an object whose "news" member is an array; JSON errors pass through.
std::vector<NewsItem> ParseNews(const std::string& text);

// The value's bytes when it exists and is a string, else empty; cut to at most 2000 bytes
// without leaving a broken UTF-8 sequence at the end.
std::string NewsText(const JsonValue* value);

}  // namespace vk
