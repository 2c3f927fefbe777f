#include "news.h"

#include <stdexcept>

#include "file_io.h"
#include "infra/json_portable.h"
#include "platform/news_format_portable.h"
#include "store.h"
#include "store_lock.h"

namespace vk::publish {
namespace {

void CheckText(const JsonValue* value, const std::string& where, std::vector<std::string>& problems) {
    if (value == nullptr) return;
    if (value->type != JsonType::String) {
        problems.push_back(where + " is not a string");
    } else if (value->text.size() > kNewsTextLimit) {
        problems.push_back(where + " is longer than 2000 bytes; the launcher cuts it");
    }
}

// "title" and "body": one string for both languages, or an object with "zh" and "en".
void CheckBilingual(const JsonValue* value, const std::string& where, std::vector<std::string>& problems) {
    if (value == nullptr || value->type == JsonType::String) {
        CheckText(value, where, problems);
    } else if (value->type == JsonType::Object) {
        CheckText(FindField(*value, "zh"), where + ".zh", problems);
        CheckText(FindField(*value, "en"), where + ".en", problems);
    } else {
        problems.push_back(where + " is neither a string nor an object with \"zh\" and \"en\"");
    }
}

bool HasTitle(const JsonValue& item) {
    const JsonValue* title = FindField(item, "title");
    if (title == nullptr) return false;
    if (title->type == JsonType::String) return !title->text.empty();
    return !NewsText(FindField(*title, "zh")).empty() || !NewsText(FindField(*title, "en")).empty();
}

void CheckItem(const JsonValue& item, const std::string& where, std::vector<std::string>& problems) {
    if (item.type != JsonType::Object) {
        problems.push_back(where + " is not an object; the launcher skips it");
        return;
    }
    CheckText(FindField(item, "date"), where + ": date", problems);
    CheckBilingual(FindField(item, "title"), where + ": title", problems);
    CheckBilingual(FindField(item, "body"), where + ": body", problems);
    if (!HasTitle(item)) problems.push_back(where + " has no title; the launcher skips it");
}

}  // namespace

std::vector<std::string> NewsProblems(const std::string& text) {
    try {
        ParseNews(text);
    } catch (const std::exception& error) {
        return {error.what()};
    }
    const JsonValue root = ParseJson(text);
    const std::vector<JsonValue>& items = root.type == JsonType::Array ? root.items : FindField(root, "news")->items;
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < items.size(); ++i) CheckItem(items[i], "item " + std::to_string(i + 1), problems);
    if (items.size() > kNewsItemLimit) {
        problems.push_back("the file has " + std::to_string(items.size()) +
                           " items; the launcher shows only the first " + std::to_string(kNewsItemLimit));
    }
    return problems;
}

std::size_t PublishNews(const NewsOptions& options) {
    const std::string text = ReadRequiredFile(options.file);
    const std::vector<std::string> problems = NewsProblems(text);
    if (!problems.empty()) {
        std::string message = Utf8Of(options.file) + " is not a news file the launcher shows as written:";
        for (const std::string& problem : problems) message += "\n  " + problem;
        throw std::runtime_error(message);
    }
    const StoreWriteLock lock(options.store, options.waitSeconds);
    Store(options.store).Place(kNewsAddress, text);
    return ParseNews(text).size();
}

}  // namespace vk::publish
