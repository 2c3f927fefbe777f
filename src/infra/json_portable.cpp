#include "infra/json_portable.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "infra/json_reader_portable.h"

namespace vk {
namespace {

// Builds the model of a document from the reader.
class ModelBuilder {
public:
    explicit ModelBuilder(JsonReader& reader) : reader_(reader) {}

    JsonValue Read(std::size_t depth) {
        JsonValue value;
        value.type = reader_.Next();
        switch (value.type) {
            case JsonType::Object: {
                auto& members = Scratch(scratchMembers_, depth);
                reader_.ReadObject([&](std::string_view name) {
                    std::string kept(name);
                    members.emplace_back(std::move(kept), Read(depth + 1));
                });
                MoveInto(members, value.members);
                break;
            }
            case JsonType::Array: {
                auto& items = Scratch(scratchItems_, depth);
                reader_.ReadArray([&] { items.push_back(Read(depth + 1)); });
                MoveInto(items, value.items);
                break;
            }
            case JsonType::String: reader_.ReadString(value.text); break;
            case JsonType::Number: value.number = reader_.ReadNumber(); break;
            case JsonType::Bool: value.flag = reader_.ReadBool(); break;
            case JsonType::Null: reader_.ReadNull(); break;
        }
        return value;
    }

private:
    // Members and items gather in a list kept for their depth and then move into a vector of
    // exactly their number: a document of many small objects allocates once per object, not once per
    // growth step, and holds no spare capacity.
    template <class Entry>
    static std::vector<Entry>& Scratch(std::deque<std::vector<Entry>>& lists, std::size_t depth) {
        if (lists.size() <= depth) lists.resize(depth + 1);
        lists[depth].clear();
        return lists[depth];
    }

    template <class Entry>
    static void MoveInto(std::vector<Entry>& gathered, std::vector<Entry>& target) {
        target.reserve(gathered.size());
        std::move(gathered.begin(), gathered.end(), std::back_inserter(target));
        gathered.clear();
    }

    JsonReader& reader_;
    // A deque, so that the list of an outer level stays where it is while deeper ones are added.
    std::deque<std::vector<std::pair<std::string, JsonValue>>> scratchMembers_;
    std::deque<std::vector<JsonValue>> scratchItems_;
};

}  // namespace

JsonValue ReadJsonValue(JsonReader& reader) {
    JsonValue value;
    switch (reader.Next()) {
        case JsonType::Object:
        case JsonType::Array: return ModelBuilder(reader).Read(0);
        case JsonType::String:
            value.type = JsonType::String;
            reader.ReadString(value.text);
            break;
        case JsonType::Number:
            value.type = JsonType::Number;
            value.number = reader.ReadNumber();
            break;
        case JsonType::Bool:
            value.type = JsonType::Bool;
            value.flag = reader.ReadBool();
            break;
        case JsonType::Null: reader.ReadNull(); break;
    }
    return value;
}

JsonValue ParseJson(const std::string& text) {
    JsonReader reader(text);
    JsonValue root = ReadJsonValue(reader);
    reader.End();
    return root;
}

const JsonValue* FindField(const JsonValue& value, const char* name) {
    if (value.type != JsonType::Object) return nullptr;
    for (const auto& member : value.members) {
        if (member.first == name) return &member.second;
    }
    return nullptr;
}

const JsonValue& RequireField(const JsonValue& value, const char* name) {
    const JsonValue* field = FindField(value, name);
    if (field == nullptr) throw std::runtime_error(std::string("缺少字段 ") + name);
    return *field;
}

std::string StringField(const JsonValue& value, const char* name) { return StringOf(FindField(value, name), name); }

std::uint64_t UIntField(const JsonValue& value, const char* name) { return UIntOf(FindField(value, name), name); }

const std::string& StringOf(const JsonValue* field, const char* name) {
    if (field == nullptr) throw std::runtime_error(std::string("缺少字段 ") + name);
    if (field->type != JsonType::String) throw std::runtime_error(std::string("字段不是字符串 ") + name);
    return field->text;
}

std::uint64_t UIntOf(const JsonValue* field, const char* name) {
    if (field == nullptr) throw std::runtime_error(std::string("缺少字段 ") + name);
    if (field->type != JsonType::Number || !(field->number >= 0 && field->number <= 9e15)) {
        throw std::runtime_error(std::string("字段不是非负整数 ") + name);
    }
    return static_cast<std::uint64_t>(field->number);
}

std::string QuoteJson(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '\t': quoted += "\\t"; break;
            case '\n': quoted += "\\n"; break;
            case '\r': quoted += "\\r"; break;
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[7];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

}  // namespace vk
