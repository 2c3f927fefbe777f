#pragma once
// A JSON document read front to back, one value at a time, without building a model: the reader of
// a large document takes what it keeps straight into its own records and skips the rest. Syntax,
// byte offsets and failures are those of ParseJson, which builds its model through this reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "infra/json_portable.h"

namespace vk {

class JsonReader {
public:
    // The text must outlive the reader.
    explicit JsonReader(std::string_view text) : text_(text) {}

    // The type of the next value, after blanks; fails with "意外结束" when only blanks remain. Bytes
    // that begin no other value are a Number, which fails with "未知值" when it is read.
    JsonType Next();

    // Each of these reads the next value, which must have the type Next() tells.
    // An object: onMember(name) is called for each member in document order and must read the
    // member's value. The name is valid during the call.
    template <class OnMember>
    void ReadObject(OnMember&& onMember) {
        std::string name;
        if (!EnterContainer('{', '}')) return;
        do {
            ReadMemberName(name);
            onMember(std::string_view(name));
        } while (NextInContainer('}', "对象未闭合"));
    }
    // An array: onItem() is called for each item in document order and must read the item.
    template <class OnItem>
    void ReadArray(OnItem&& onItem) {
        if (!EnterContainer('[', ']')) return;
        do {
            onItem();
        } while (NextInContainer(']', "数组未闭合"));
    }
    // The string's bytes with escapes resolved, in place of text's content.
    void ReadString(std::string& text);
    double ReadNumber();
    bool ReadBool();
    void ReadNull();

    // Reads any value and drops it, with every check and failure that reading it would have.
    void Skip();

    // After the document's value: only blanks may follow ("JSON 末尾有多余内容").
    void End();

private:
    [[noreturn]] void Fail(const char* reason) const;
    bool AtEnd() const { return offset_ >= text_.size(); }
    bool At(char c) const { return !AtEnd() && text_[offset_] == c; }
    void SkipBlanks();

    // Steps into an object or array (failing beyond the nesting bound); false when it is empty,
    // which it then also steps out of.
    bool EnterContainer(char open, char close);
    void ReadMemberName(std::string& name);
    // A string starting exactly at the offset (a member name, or a value past its blanks).
    void ReadStringHere(std::string& text);
    // Past the comma to the next member or item (true), or past the closing bracket (false); anything
    // else fails with `unclosed`.
    bool NextInContainer(char close, const char* unclosed);

    void ReadEscape(std::string& text);
    std::uint32_t ReadCodePoint();
    std::uint32_t ReadCodeUnit();

    std::string_view text_;
    std::size_t offset_ = 0;
    int depth_ = 0;        // objects and arrays open around the offset
    std::string skipped_;  // the text of skipped strings
};

// The model of the reader's next value, as ParseJson builds it (defined with ParseJson).
JsonValue ReadJsonValue(JsonReader& reader);

}  // namespace vk
