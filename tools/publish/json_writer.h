#pragma once
// The JSON that --json prints for scripts: objects one member a line, indented by two blanks per
// level, so that the same facts always give the same bytes on either platform.
#include <cstdint>
#include <string>
#include <vector>

namespace vk::publish {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the object being written.
    JsonWriter& Key(const std::string& name);

    JsonWriter& String(const std::string& text);
    JsonWriter& Number(std::uint64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // A string, or null when the text is empty.
    JsonWriter& StringOrNull(const std::string& text);
    JsonWriter& Strings(const std::vector<std::string>& items);

    // The document with a final line end; every object and array must be closed.
    std::string Text() const;

private:
    struct Level {
        bool array = false;
        bool empty = true;
    };

    void BeforeValue();
    void StartItem();
    JsonWriter& Open(bool array, char bracket);
    JsonWriter& Close(bool array, char bracket);
    void NewLine();

    std::string text_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace vk::publish
