#include "json_writer.h"

#include <stdexcept>

#include "infra/json_portable.h"

namespace vk::publish {

JsonWriter& JsonWriter::BeginObject() { return Open(false, '{'); }

JsonWriter& JsonWriter::EndObject() { return Close(false, '}'); }

JsonWriter& JsonWriter::BeginArray() { return Open(true, '['); }

JsonWriter& JsonWriter::EndArray() { return Close(true, ']'); }

JsonWriter& JsonWriter::Key(const std::string& name) {
    if (levels_.empty() || levels_.back().array || afterKey_) throw std::logic_error("JSON member outside an object");
    StartItem();
    text_ += QuoteJson(name);
    text_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& text) {
    BeforeValue();
    text_ += QuoteJson(text);
    return *this;
}

JsonWriter& JsonWriter::Number(std::uint64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

JsonWriter& JsonWriter::StringOrNull(const std::string& text) { return text.empty() ? Null() : String(text); }

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& items) {
    BeginArray();
    for (const std::string& item : items) String(item);
    return EndArray();
}

std::string JsonWriter::Text() const {
    if (!levels_.empty() || text_.empty()) throw std::logic_error("JSON document not complete");
    return text_ + "\n";
}

// A member's value follows its key on the same line; a member or an item of an array starts a line
// of its own.
void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
    } else if (levels_.empty()) {
        if (!text_.empty()) throw std::logic_error("second JSON document");
    } else if (!levels_.back().array) {
        throw std::logic_error("JSON value without a member name");
    } else {
        StartItem();
    }
}

void JsonWriter::StartItem() {
    if (!levels_.back().empty) text_ += ",";
    levels_.back().empty = false;
    NewLine();
}

JsonWriter& JsonWriter::Open(bool array, char bracket) {
    BeforeValue();
    text_ += bracket;
    levels_.push_back({array, true});
    return *this;
}

JsonWriter& JsonWriter::Close(bool array, char bracket) {
    if (levels_.empty() || levels_.back().array != array || afterKey_) throw std::logic_error("unbalanced JSON");
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) NewLine();
    text_ += bracket;
    return *this;
}

void JsonWriter::NewLine() {
    text_ += '\n';
    text_.append(2 * levels_.size(), ' ');
}

}  // namespace vk::publish
