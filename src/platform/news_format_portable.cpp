#include "platform/news_format_portable.h"

#include <stdexcept>

#include "infra/language_portable.h"

namespace vk {
namespace {

bool IsContinuationByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte <= 0xBF;
}

bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0xC0;
}

const std::vector<JsonValue>& NewsArray(const JsonValue& root) {
    if (root.type == JsonType::Array) {
        return root.items;
    }
    const JsonValue* news = FindField(root, "news");
    if (news == nullptr || news->type != JsonType::Array) {
        throw std::runtime_error(Localized("News file is malformed", "动态文件格式错误"));
    }
    return news->items;
}

// A "title" or "body" member: one string for both languages, or an object with "zh" and "en".
void ReadBilingual(const JsonValue* value, std::string& zh, std::string& en) {
    if (value != nullptr && value->type == JsonType::String) {
        zh = NewsText(value);
        en = zh;
        return;
    }
    if (value != nullptr) {
        zh = NewsText(FindField(*value, "zh"));
        en = NewsText(FindField(*value, "en"));
    }
}

NewsItem ReadItem(const JsonValue& item) {
    NewsItem news;
    news.date = NewsText(FindField(item, "date"));
    ReadBilingual(FindField(item, "title"), news.titleZh, news.titleEn);
    ReadBilingual(FindField(item, "body"), news.bodyZh, news.bodyEn);
    return news;
}

}  // namespace

std::vector<NewsItem> ParseNews(const std::string& text) {
    const JsonValue root = ParseJson(text);
    std::vector<NewsItem> list;
    for (const JsonValue& item : NewsArray(root)) {
        if (list.size() == kNewsItemLimit) {
            break;
        }
        if (item.type != JsonType::Object) {
            continue;
        }
        NewsItem news = ReadItem(item);
        if (!news.titleZh.empty() || !news.titleEn.empty()) {
            list.push_back(std::move(news));
        }
    }
    return list;
}

std::string NewsText(const JsonValue* value) {
    if (value == nullptr || value->type != JsonType::String) {
        return {};
    }
    std::string text = value->text;
    if (text.size() <= kNewsTextLimit) {
        return text;
    }
    text.resize(kNewsTextLimit);
    while (!text.empty() && IsContinuationByte(text.back())) {
        text.pop_back();
    }
    if (!text.empty() && IsLeadByte(text.back())) {
        text.pop_back();
    }
    return text;
}

}  // namespace vk
