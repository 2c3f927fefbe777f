#include "infra/json_portable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace vk {
namespace {

// The parser recurses once per level; this bound keeps a hostile document from exhausting the
// stack of a worker thread while staying far above anything the system's own documents need.
constexpr int kMaxDepth = 512;

// Offsets of a surrogate pair folded into one constant: (high - D800) * 400 + (low - DC00) + 10000.
constexpr std::uint32_t kSurrogateOffset = 56613888;

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    JsonValue ParseDocument() {
        JsonValue root = ParseValue(0);
        SkipBlanks();
        if (!AtEnd()) throw std::runtime_error("JSON 末尾有多余内容");
        return root;
    }

private:
    [[noreturn]] void Fail(const char* reason) const {
        throw std::runtime_error(std::string("JSON 格式错误：") + reason + "（位置 " + std::to_string(offset_) + "）");
    }

    bool AtEnd() const { return offset_ >= text_.size(); }
    bool At(char c) const { return !AtEnd() && text_[offset_] == c; }

    void SkipBlanks() {
        while (At(' ') || At('\t') || At('\r') || At('\n')) ++offset_;
    }

    // The byte after a literal is left for whatever follows to judge.
    bool TakeLiteral(std::string_view literal) {
        if (text_.compare(offset_, literal.size(), literal) != 0) return false;
        offset_ += literal.size();
        return true;
    }

    JsonValue ParseValue(int depth) {
        SkipBlanks();
        if (AtEnd()) Fail("意外结束");
        JsonValue value;
        const char c = text_[offset_];
        if (c == '{' || c == '[') {
            if (depth >= kMaxDepth) Fail("嵌套过深");
            ++offset_;
            if (c == '{') {
                ParseMembers(value, depth + 1);
            } else {
                ParseItems(value, depth + 1);
            }
        } else if (c == '"') {
            value.type = JsonType::String;
            value.text = ParseString();
        } else if (TakeLiteral("true")) {
            value.type = JsonType::Bool;
            value.flag = true;
        } else if (TakeLiteral("false")) {
            value.type = JsonType::Bool;
        } else if (TakeLiteral("null")) {
            // A fresh value is already Null.
        } else {
            value.type = JsonType::Number;
            value.number = ParseNumber();
        }
        return value;
    }

    void ParseMembers(JsonValue& value, int depth) {
        value.type = JsonType::Object;
        SkipBlanks();
        if (At('}')) {
            ++offset_;
            return;
        }
        auto& members = Scratch(scratchMembers_, depth);
        for (;;) {
            SkipBlanks();
            std::string name = ParseString();
            SkipBlanks();
            if (AtEnd()) Fail("缺少冒号");
            if (text_[offset_++] != ':') Fail("缺少冒号");
            JsonValue member = ParseValue(depth);
            members.emplace_back(std::move(name), std::move(member));
            SkipBlanks();
            if (At(',')) {
                ++offset_;
            } else if (At('}')) {
                ++offset_;
                MoveInto(members, value.members);
                return;
            } else {
                Fail("对象未闭合");
            }
        }
    }

    void ParseItems(JsonValue& value, int depth) {
        value.type = JsonType::Array;
        SkipBlanks();
        if (At(']')) {
            ++offset_;
            return;
        }
        auto& items = Scratch(scratchItems_, depth);
        for (;;) {
            items.push_back(ParseValue(depth));
            SkipBlanks();
            if (At(',')) {
                ++offset_;
            } else if (At(']')) {
                ++offset_;
                MoveInto(items, value.items);
                return;
            } else {
                Fail("数组未闭合");
            }
        }
    }

    // Whatever part of the run the conversion does not use is dropped, so "1.2.3" reads as 1.2.
    // The program never changes the C locale, so the decimal point is always '.'.
    double ParseNumber() {
        std::size_t end = text_.find_first_not_of("+-0123456789.eE", offset_);
        if (end == std::string::npos) end = text_.size();
        if (end == offset_) Fail("未知值");
        // strtod sees the run alone, or it would read on past it ("0x10" as 16). Runs are short, so
        // the copy lives on the stack.
        char buffer[64];
        std::string longRun;
        const char* run = buffer;
        if (end - offset_ < sizeof buffer) {
            text_.copy(buffer, end - offset_, offset_);
            buffer[end - offset_] = '\0';
        } else {
            longRun = text_.substr(offset_, end - offset_);
            run = longRun.c_str();
        }
        offset_ = end;
        char* used = nullptr;
        errno = 0;
        const double number = std::strtod(run, &used);
        if (used == run) throw std::invalid_argument("invalid stod argument");
        if (errno == ERANGE) throw std::out_of_range("stod argument out of range");
        return number;
    }

    std::string ParseString() {
        if (!At('"')) Fail("应为字符串");
        ++offset_;
        std::string text;
        for (;;) {
            // Plain bytes up to the next quote or escape go over in one piece.
            const std::size_t special = text_.find_first_of("\"\\", offset_);
            if (special == std::string::npos) {
                offset_ = text_.size();
                Fail("字符串未闭合");
            }
            text.append(text_, offset_, special - offset_);
            offset_ = special + 1;
            if (text_[special] == '"') return text;
            ParseEscape(text);
        }
    }

    void ParseEscape(std::string& text) {
        if (AtEnd()) Fail("字符串未闭合");
        const char letter = text_[offset_++];
        switch (letter) {
            case '"':
            case '/':
            case '\\': text += letter; break;
            case 'b': text += '\b'; break;
            case 'f': text += '\f'; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'u': AppendUtf8(text, ReadCodePoint()); break;
            default: Fail("未知转义");
        }
    }

    // The second unit of a pair is taken as it comes, so a bad pair still yields bytes, not a failure.
    std::uint32_t ReadCodePoint() {
        const std::uint32_t unit = ReadCodeUnit();
        if (unit < 0xD800 || unit > 0xDBFF || text_.compare(offset_, 2, "\\u") != 0) return unit;
        offset_ += 2;
        return unit * 1024 + ReadCodeUnit() - kSurrogateOffset;
    }

    // Four bytes read the way the C library reads base-16 numbers: blanks, a sign and 0x pass.
    std::uint32_t ReadCodeUnit() {
        if (text_.size() - offset_ < 4) Fail("\\u 不完整");
        const std::string digits = text_.substr(offset_, 4);
        offset_ += 4;
        char* used = nullptr;
        // Four bytes cannot overflow, so only an empty reading is an error.
        const unsigned long unit = std::strtoul(digits.c_str(), &used, 16);
        if (used == digits.c_str()) throw std::invalid_argument("invalid stoul argument");
        return static_cast<std::uint32_t>(unit);
    }

    static void AppendUtf8(std::string& text, std::uint32_t cp) {
        auto byte = [](std::uint32_t bits) { return static_cast<char>(bits & 0xFF); };
        if (cp < 0x80) {
            text += byte(cp);
        } else if (cp < 0x800) {
            text += byte(0xC0 | cp >> 6);
            text += byte(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            text += byte(0xE0 | cp >> 12);
            text += byte(0x80 | (cp >> 6 & 0x3F));
            text += byte(0x80 | (cp & 0x3F));
        } else {
            text += byte(0xF0 | cp >> 18);
            text += byte(0x80 | (cp >> 12 & 0x3F));
            text += byte(0x80 | (cp >> 6 & 0x3F));
            text += byte(0x80 | (cp & 0x3F));
        }
    }

    // Members and items gather in a list kept for their depth and then move into a vector of
    // exactly their number: a document of many small objects allocates once per object, not once per
    // growth step, and holds no spare capacity.
    template <class Entry>
    static std::vector<Entry>& Scratch(std::deque<std::vector<Entry>>& lists, int depth) {
        if (lists.size() <= static_cast<std::size_t>(depth)) lists.resize(depth + 1);
        lists[depth].clear();
        return lists[depth];
    }

    template <class Entry>
    static void MoveInto(std::vector<Entry>& gathered, std::vector<Entry>& target) {
        target.reserve(gathered.size());
        std::move(gathered.begin(), gathered.end(), std::back_inserter(target));
        gathered.clear();
    }

    const std::string& text_;
    std::size_t offset_ = 0;
    // A deque, so that the list of an outer level stays where it is while deeper ones are added.
    std::deque<std::vector<std::pair<std::string, JsonValue>>> scratchMembers_;
    std::deque<std::vector<JsonValue>> scratchItems_;
};

}  // namespace

JsonValue ParseJson(const std::string& text) { return Parser(text).ParseDocument(); }

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

std::string StringField(const JsonValue& value, const char* name) {
    const JsonValue& field = RequireField(value, name);
    if (field.type != JsonType::String) throw std::runtime_error(std::string("字段不是字符串 ") + name);
    return field.text;
}

std::uint64_t UIntField(const JsonValue& value, const char* name) {
    const JsonValue& field = RequireField(value, name);
    if (field.type != JsonType::Number || !(field.number >= 0 && field.number <= 9e15)) {
        throw std::runtime_error(std::string("字段不是非负整数 ") + name);
    }
    return static_cast<std::uint64_t>(field.number);
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
