#pragma once
// The one JSON value model and reader of the system, and the string quoting all writers use.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vk {

enum class JsonType : std::int32_t { Null = 0, Bool = 1, Number = 2, String = 3, Array = 4, Object = 5 };

struct JsonValue {
    JsonType type = JsonType::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;
};

// Parses a whole document; throws a failure "JSON 格式错误：<reason>（位置 <offset>）".
JsonValue ParseJson(const std::string& text);

// The first member with that name, or nullptr (also for values that are not objects).
const JsonValue* FindField(const JsonValue& value, const char* name);

// The member, or a failure "缺少字段 <name>".
const JsonValue& RequireField(const JsonValue& value, const char* name);

// The member's text, or a failure "字段不是字符串 <name>".
std::string StringField(const JsonValue& value, const char* name);

// The member as an integer from 0 to 9e15 (truncated), or a failure "字段不是非负整数 <name>".
std::uint64_t UIntField(const JsonValue& value, const char* name);

// The checks of StringField and UIntField for a member the reader found itself (nullptr: missing).
const std::string& StringOf(const JsonValue* field, const char* name);
std::uint64_t UIntOf(const JsonValue* field, const char* name);

// A JSON string literal for the bytes.
std::string QuoteJson(const std::string& text);

}  // namespace vk
