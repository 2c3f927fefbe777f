#include "infra/json_reader_portable.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace vk {
namespace {

// The reader goes one level deeper per nested object or array; this bound keeps a hostile document
// from exhausting the stack of a worker thread while staying far above anything the system's own
// documents need.
constexpr int kMaxDepth = 512;

// Offsets of a surrogate pair folded into one constant: (high - D800) * 400 + (low - DC00) + 10000.
constexpr std::uint32_t kSurrogateOffset = 56613888;

void AppendUtf8(std::string& text, std::uint32_t cp) {
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

}  // namespace

void JsonReader::Fail(const char* reason) const {
    throw std::runtime_error(std::string("JSON 格式错误：") + reason + "（位置 " + std::to_string(offset_) + "）");
}

void JsonReader::SkipBlanks() {
    while (At(' ') || At('\t') || At('\r') || At('\n')) ++offset_;
}

JsonType JsonReader::Next() {
    SkipBlanks();
    if (AtEnd()) Fail("意外结束");
    switch (text_[offset_]) {
        case '{': return JsonType::Object;
        case '[': return JsonType::Array;
        case '"': return JsonType::String;
        default: break;
    }
    // The byte after a literal is left for whatever follows to judge.
    const std::string_view rest = text_.substr(offset_);
    if (rest.starts_with("true") || rest.starts_with("false")) return JsonType::Bool;
    if (rest.starts_with("null")) return JsonType::Null;
    return JsonType::Number;
}

bool JsonReader::EnterContainer(char open, char close) {
    if (Next() != (open == '{' ? JsonType::Object : JsonType::Array)) {
        throw std::logic_error("JsonReader: the next value is of another type");
    }
    if (depth_ >= kMaxDepth) Fail("嵌套过深");
    ++offset_;
    SkipBlanks();
    if (At(close)) {
        ++offset_;
        return false;
    }
    ++depth_;
    return true;
}

void JsonReader::ReadMemberName(std::string& name) {
    SkipBlanks();
    ReadStringHere(name);
    SkipBlanks();
    if (AtEnd()) Fail("缺少冒号");
    if (text_[offset_++] != ':') Fail("缺少冒号");
}

bool JsonReader::NextInContainer(char close, const char* unclosed) {
    SkipBlanks();
    if (At(',')) {
        ++offset_;
        return true;
    }
    if (!At(close)) Fail(unclosed);
    ++offset_;
    --depth_;
    return false;
}

void JsonReader::ReadString(std::string& text) {
    if (Next() != JsonType::String) throw std::logic_error("JsonReader: the next value is not a String");
    ReadStringHere(text);
}

void JsonReader::ReadStringHere(std::string& text) {
    if (!At('"')) Fail("应为字符串");
    ++offset_;
    text.clear();
    for (;;) {
        // Plain bytes up to the next quote or escape go over in one piece.
        std::size_t special = offset_;
        while (special < text_.size() && text_[special] != '"' && text_[special] != '\\') ++special;
        if (special == text_.size()) {
            offset_ = text_.size();
            Fail("字符串未闭合");
        }
        text.append(text_, offset_, special - offset_);
        offset_ = special + 1;
        if (text_[special] == '"') return;
        ReadEscape(text);
    }
}

void JsonReader::ReadEscape(std::string& text) {
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
std::uint32_t JsonReader::ReadCodePoint() {
    const std::uint32_t unit = ReadCodeUnit();
    if (unit < 0xD800 || unit > 0xDBFF || text_.substr(offset_, 2) != "\\u") return unit;
    offset_ += 2;
    return unit * 1024 + ReadCodeUnit() - kSurrogateOffset;
}

// Four bytes read the way the C library reads base-16 numbers: blanks, a sign and 0x pass.
std::uint32_t JsonReader::ReadCodeUnit() {
    if (text_.size() - offset_ < 4) Fail("\\u 不完整");
    char digits[5] = {};
    text_.copy(digits, 4, offset_);
    offset_ += 4;
    char* used = nullptr;
    // Four bytes cannot overflow, so only an empty reading is an error.
    const unsigned long unit = std::strtoul(digits, &used, 16);
    if (used == digits) throw std::invalid_argument("invalid stoul argument");
    return static_cast<std::uint32_t>(unit);
}

// Whatever part of the run the conversion does not use is dropped, so "1.2.3" reads as 1.2.
// The program never changes the C locale, so the decimal point is always '.'.
double JsonReader::ReadNumber() {
    Next();
    std::size_t end = text_.find_first_not_of("+-0123456789.eE", offset_);
    if (end == std::string_view::npos) end = text_.size();
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

bool JsonReader::ReadBool() {
    if (Next() != JsonType::Bool) throw std::logic_error("JsonReader: the next value is not a Bool");
    const bool flag = text_[offset_] == 't';
    offset_ += flag ? 4 : 5;
    return flag;
}

void JsonReader::ReadNull() {
    if (Next() != JsonType::Null) throw std::logic_error("JsonReader: the next value is not null");
    offset_ += 4;
}

void JsonReader::Skip() {
    switch (Next()) {
        case JsonType::Object: ReadObject([this](std::string_view) { Skip(); }); break;
        case JsonType::Array: ReadArray([this] { Skip(); }); break;
        case JsonType::String: ReadString(skipped_); break;
        case JsonType::Number: ReadNumber(); break;
        case JsonType::Bool: ReadBool(); break;
        case JsonType::Null: ReadNull(); break;
    }
}

void JsonReader::End() {
    SkipBlanks();
    if (!AtEnd()) throw std::runtime_error("JSON 末尾有多余内容");
}

}  // namespace vk
