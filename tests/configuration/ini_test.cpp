#include "configuration/ini.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct TrimCase {
    std::string input;
    std::string expected;
};

TEST(TrimIniText, RemovesQuotesBlanksCarriageReturnsAndByteOrderMarks) {
    const TrimCase cases[] = {
        {"", ""},
        {"  value  ", "value"},
        {"\"https://a/b\"\r", "https://a/b"},
        {"\xEF\xBB\xBFKey=1", "Key=1"},
        {"\xBF\xEF key", "key"},                    // mark bytes in any order
        {"\tvalue\t", "\tvalue\t"},                 // tabs are text
        {"a \"quoted\" word", "a \"quoted\" word"}, // inner quotes stay
        {"\"\"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimIniText(c.input), c.expected) << c.input;
}

struct LookupCase {
    const char* name;
    std::string text;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(ReadIniValue, FindsTheFirstMatchingKeyOfTheSection) {
    const LookupCase cases[] = {
        {"inside section", "[A]\nK=1\n[Velkar.Update]\nK=2\n", "Velkar.Update", "K", "2"},
        {"outside section", "K=1\n[Other]\nK=2\n", "Velkar.Update", "K", ""},
        {"first wins", "[S]\nK=1\nK=2\n", "S", "K", "1"},
        {"blank before equals", "[S]\nK =1\n", "S", "K", ""},
        {"keys are case-sensitive", "[S]\nk=1\n", "S", "K", ""},
        {"blanks inside brackets are another section", "[ S ]\nK=1\n", "S", "K", ""},
        {"crlf and quotes", "[S]\r\nK=\"v\"\r\n", "S", "K", "v"},
        {"no comment syntax", "[S]\n;K=1\nK=a;b#c//d\n", "S", "K", "a;b#c//d"},
        {"tab before key prevents match", "\tK=1\n", "", "K", ""},
        {"tab after value stays", "K=1\t\n", "", "K", "1\t"},
        {"empty section reads top lines", "K=1\n", "", "K", "1"},
        {"header ends the unnamed section", "[X]\nK=1\n", "", "K", ""},
        {"[] continues the unnamed section", "[]\nK=1\n", "", "K", "1"},
        {"byte-order mark on first line", "\xEF\xBB\xBFK=1\r\n", "", "K", "1"},
        {"no trailing line feed", "K=last", "", "K", "last"},
        {"prefix of a longer key", "KK=1\nK=2\n", "", "K", "2"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadIniValue(c.text, c.section, c.key), c.expected) << c.name;
}

}  // namespace
}  // namespace vk
