#include "infra/json_portable.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/json_texts.h"

namespace vk {
namespace {

// What a parse ends in: "ok" or the text of whatever it threw.
std::string Outcome(const std::string& text) {
    try {
        ParseJson(text);
        return "ok";
    } catch (const std::exception& e) {
        return e.what();
    }
}

std::string FormatError(const char* reason, std::size_t position) {
    return std::string("JSON 格式错误：") + reason + "（位置 " + std::to_string(position) + "）";
}

TEST(ParseJson, BuildsValuesInDocumentOrder) {
    const JsonValue root = ParseJson(" {\"z\":[1, true ,false,null,\"x\",{},[]],\r\n\t\"a\":{\"c\":-2.5e1},\"z\":0} ");
    ASSERT_EQ(root.type, JsonType::Object);
    ASSERT_EQ(root.members.size(), 3u);
    EXPECT_EQ(root.members[0].first, "z");
    EXPECT_EQ(root.members[1].first, "a");
    EXPECT_EQ(root.members[2].first, "z");
    const JsonValue& list = root.members[0].second;
    ASSERT_EQ(list.type, JsonType::Array);
    ASSERT_EQ(list.items.size(), 7u);
    EXPECT_EQ(list.items[0].type, JsonType::Number);
    EXPECT_EQ(list.items[0].number, 1);
    EXPECT_EQ(list.items[1].type, JsonType::Bool);
    EXPECT_TRUE(list.items[1].flag);
    EXPECT_EQ(list.items[2].type, JsonType::Bool);
    EXPECT_FALSE(list.items[2].flag);
    EXPECT_EQ(list.items[3].type, JsonType::Null);
    EXPECT_EQ(list.items[4].type, JsonType::String);
    EXPECT_EQ(list.items[4].text, "x");
    EXPECT_EQ(list.items[5].type, JsonType::Object);
    EXPECT_TRUE(list.items[5].members.empty());
    EXPECT_EQ(list.items[6].type, JsonType::Array);
    EXPECT_TRUE(list.items[6].items.empty());
    EXPECT_EQ(RequireField(root.members[1].second, "c").number, -25);
}

struct ErrorCase {
    std::string text;
    const char* reason;
    std::size_t position;
};

TEST(ParseJson, FormatErrorsNameTheReasonAndByteOffset) {
    const ErrorCase cases[] = {
        {"", "意外结束", 0},
        {" \t\r\n", "意外结束", 4},
        {"[", "意外结束", 1},
        {"{\"a\":", "意外结束", 5},
        {"{", "应为字符串", 1},
        {"{,}", "应为字符串", 1},
        {"{1:2}", "应为字符串", 1},
        {"{\"a\":1,}", "应为字符串", 7},
        {"{\"a\" 1}", "缺少冒号", 6},
        {"{\"a\"", "缺少冒号", 4},
        {"{\"a\"  ", "缺少冒号", 6},
        {"{\"a\":1 \"b\":2}", "对象未闭合", 7},
        {"{\"a\":1", "对象未闭合", 6},
        {"[1 2]", "数组未闭合", 3},
        {"[1", "数组未闭合", 2},
        {"[truex]", "数组未闭合", 5},  // the literal ends after four bytes
        {"[1,]", "未知值", 3},
        {"{\"a\":}", "未知值", 5},
        {"tru", "未知值", 0},
        {"fals", "未知值", 0},
        {"nul", "未知值", 0},
        {"@", "未知值", 0},
        {"'a'", "未知值", 0},
        {"\"abc", "字符串未闭合", 4},
        {"\"ab\\", "字符串未闭合", 4},
        {"[\"a\\\"]", "字符串未闭合", 6},
        {"\"\\x\"", "未知转义", 3},
        {"\"\\U0041\"", "未知转义", 3},
        {"\"\\u12\"", "\\u 不完整", 3},
        {"\"\\u", "\\u 不完整", 3},
        {"\"\\ud83d\\u12", "\\u 不完整", 9},
        {std::string("\"a\0", 3), "字符串未闭合", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(Outcome(c.text), FormatError(c.reason, c.position)) << c.text;
}

TEST(ParseJson, RejectsAnythingButBlanksAfterTheValue) {
    for (const char* text : {"1 x", "{} {}", "truex", "nullnull", "\"a\"\"b\"", "[]]", "0 ,"}) {
        EXPECT_EQ(Outcome(text), "JSON 末尾有多余内容") << text;
    }
    EXPECT_EQ(Outcome("  [] \t\r\n"), "ok");
}

struct NumberCase {
    const char* text;
    double value;
};

TEST(ParseJson, NumbersTakeTheWholeRunAndUseWhatTheConversionReads) {
    const NumberCase cases[] = {
        {"0", 0},       {"-12.5", -12.5}, {"+7", 7},       {"007", 7},     {"1e3", 1000},
        {"1E-2", 0.01}, {"1.2.3", 1.2},   {"1e", 1},       {"1e+", 1},     {"1-2", 1},
        {".5", 0.5},    {"5.", 5},        {"-0", 0},       {"2.5E+1", 25}, {"9000000000000001", 9000000000000001.0},
    };
    for (const auto& c : cases) {
        const JsonValue value = ParseJson(std::string("[") + c.text + "]");
        ASSERT_EQ(value.items.size(), 1u) << c.text;
        EXPECT_EQ(value.items[0].type, JsonType::Number) << c.text;
        EXPECT_EQ(value.items[0].number, c.value) << c.text;
    }
    // Runs of any length count whole.
    for (const std::size_t zeros : {62, 63, 64, 200}) {
        EXPECT_EQ(ParseJson(std::string(zeros, '0') + "25e-1").number, 2.5) << zeros;
    }
}

template <class Error>
std::string ThrownAs(const std::string& text) {
    try {
        ParseJson(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "not thrown";
}

TEST(ParseJson, UnreadableNumbersAndCodeUnitsFailWithTheConversionErrors) {
    for (const char* text : {"-", "[e5]", "+-1", ".", "[-.e]", "--"}) {
        EXPECT_EQ(ThrownAs<std::invalid_argument>(text), "invalid stod argument") << text;
    }
    for (const char* text : {"1e400", "[-1e400]", "1e-400"}) {
        EXPECT_EQ(ThrownAs<std::out_of_range>(text), "stod argument out of range") << text;
    }
    for (const char* text : {"\"\\uzzzz\"", "\"\\u    \"", "\"\\u-zzz\"", "\"\\ud800\\uqqqq\""}) {
        EXPECT_EQ(ThrownAs<std::invalid_argument>(text), "invalid stoul argument") << text;
    }
}

struct StringCase {
    std::string literal;
    std::string text;
};

TEST(ParseJson, StringsResolveEscapesToUtf8) {
    const StringCase cases[] = {
        {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\/\b\f\n\r\t"},
        {"\"\\u0041\"", "A"},
        {"\"\\u00e9\"", "\xC3\xA9"},
        {"\"\\u07FF\\u0800\"", "\xDF\xBF\xE0\xA0\x80"},
        {"\"\\ud83d\\ude00\"", "\xF0\x9F\x98\x80"},
        {"\"\\ud83d\"", "\xED\xA0\xBD"},                   // lone high surrogate: three bytes
        {"\"\\ud83dx\"", "\xED\xA0\xBDx"},
        {"\"\\ude00\"", "\xED\xB8\x80"},                   // lone low surrogate
        {"\"\\ud800\\u0041\"", "\xE2\x91\x81"},            // any second unit is combined
        {"\"\\u0000\"", std::string("\0", 1)},
        {"\"\\u00zz\"", std::string("\0", 1)},             // the four bytes are consumed even when unread
        {"\"\\u 1 a\"", "\x01"},                           // leading blank accepted, reading stops at the next
        {"\"\\u+041\\u0x41\"", "AA"},                      // sign and 0x prefix accepted
        {"\"\\u-001\"", "\xFF\xBF\xBF\xBF"},               // negated unit wraps; only its low bits are written
        {"\"\x01\x7f\xff\xc3\"", "\x01\x7f\xff\xc3"},      // raw bytes are not validated
        {"\"a\\u0062c\"", "abc"},
    };
    for (const auto& c : cases) {
        const JsonValue value = ParseJson(c.literal);
        EXPECT_EQ(value.type, JsonType::String) << c.literal;
        EXPECT_EQ(value.text, c.text) << c.literal;
    }
}

TEST(ParseJson, NestingIsBoundedAt512Levels) {
    EXPECT_EQ(Outcome(test::Nested("[", "", "]", 511)), "ok");
    EXPECT_EQ(Outcome(test::Nested("[", "", "]", 512)), "ok");
    EXPECT_EQ(Outcome(test::Nested("{\"k\":", "0", "}", 512)), "ok");
    EXPECT_EQ(Outcome(test::Nested("[", "", "]", 513)), FormatError("嵌套过深", 512));
    EXPECT_EQ(Outcome(test::Nested("{\"k\":", "0", "}", 513)), FormatError("嵌套过深", 2560));
    EXPECT_EQ(Outcome(test::Nested("[{\"k\":", "0", "}]", 257)), FormatError("嵌套过深", 512 * 3));
    EXPECT_EQ(Outcome(std::string(200000, '[')), FormatError("嵌套过深", 512));
}

TEST(FindField, ReturnsTheFirstMemberWithExactlyThatName) {
    const JsonValue root = ParseJson("{\"a\\u0000b\":0,\"a\":1,\"A\":2,\"a\":3}");
    const JsonValue* field = FindField(root, "a");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->number, 1);
    EXPECT_EQ(FindField(root, "ab"), nullptr);
    EXPECT_EQ(FindField(root, "b"), nullptr);
    EXPECT_EQ(FindField(ParseJson("[\"a\"]"), "a"), nullptr);
    EXPECT_EQ(FindField(ParseJson("\"a\""), "a"), nullptr);
}

struct AccessorCase {
    const char* name;
    std::string outcome;
};

TEST(FieldAccessors, ReturnTheValueOrNameTheField) {
    const JsonValue root = ParseJson(
        "{\"s\":\"x\",\"n\":5,\"f\":2.99,\"zero\":-0,\"max\":9000000000000000,\"e\":9e15,"
        "\"over\":9000000000000001,\"neg\":-1,\"tiny\":-0.5,\"text\":\"5\",\"null\":null,\"obj\":{}}");
    const auto asUInt = [&](const char* name) -> std::string {
        try {
            return std::to_string(UIntField(root, name));
        } catch (const std::runtime_error& e) {
            return e.what();
        }
    };
    const AccessorCase uintCases[] = {
        {"n", "5"},
        {"f", "2"},
        {"zero", "0"},
        {"max", "9000000000000000"},
        {"e", "9000000000000000"},
        {"over", "字段不是非负整数 over"},
        {"neg", "字段不是非负整数 neg"},
        {"tiny", "字段不是非负整数 tiny"},
        {"text", "字段不是非负整数 text"},
        {"null", "字段不是非负整数 null"},
        {"obj", "字段不是非负整数 obj"},
        {"missing", "缺少字段 missing"},
    };
    for (const auto& c : uintCases) EXPECT_EQ(asUInt(c.name), c.outcome) << c.name;

    const auto asString = [&](const char* name) -> std::string {
        try {
            return StringField(root, name);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
    };
    const AccessorCase stringCases[] = {
        {"s", "x"},
        {"text", "5"},
        {"n", "字段不是字符串 n"},
        {"null", "字段不是字符串 null"},
        {"missing", "缺少字段 missing"},
    };
    for (const auto& c : stringCases) EXPECT_EQ(asString(c.name), c.outcome) << c.name;

    EXPECT_EQ(&RequireField(root, "obj"), FindField(root, "obj"));
    try {
        RequireField(ParseJson("[1]"), "id");
        ADD_FAILURE() << "an array has no fields";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "缺少字段 id");
    }
}

TEST(QuoteJson, EscapesOnlyQuotesBackslashesAndControlBytes) {
    const StringCase cases[] = {
        {"", "\"\""},
        {"\t\"\x01", "\"\\t\\\"\\u0001\""},
        {"\xC3\xA9", "\"\xC3\xA9\""},
        {"\n\r\\", "\"\\n\\r\\\\\""},
        {"\b\f\x1f", "\"\\u0008\\u000c\\u001f\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"/\x7f\x80\xff", "\"/\x7f\x80\xff\""},
    };
    for (const auto& c : cases) EXPECT_EQ(QuoteJson(c.literal), c.text) << c.literal;

    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    EXPECT_EQ(ParseJson(QuoteJson(everyByte)).text, everyByte);
}

// Damaged documents must end in a value or one of the parser's own failures: never a crash, a
// hang, a read past the end or an exception from deeper inside the standard library.
bool IsParserFailure(const std::string& message) {
    return message.rfind("JSON 格式错误：", 0) == 0 || message == "JSON 末尾有多余内容" ||
           message == "invalid stod argument" || message == "stod argument out of range" ||
           message == "invalid stoul argument";
}

TEST(ParseJson, DamagedDocumentsEndInAValueOrAParserFailure) {
    const std::string sample =
        "{\"build\":\"1.0.7\",\"files\":[{\"path\":\"Game/a.pak\",\"size\":123,\"sha256\":\"\\u00e9\\ud83d\\ude00\"},"
        "{\"x\":[true,false,null,-1.5e3,[],{}]}],\"note\":\"tab\\t\\\"q\\\"\"}";
    ASSERT_EQ(Outcome(sample), "ok");
    for (std::size_t length = 0; length < sample.size(); ++length) {
        const std::string outcome = Outcome(sample.substr(0, length));
        EXPECT_TRUE(IsParserFailure(outcome)) << length << ": " << outcome;
    }

    for (const std::string& text : test::DamagedCopies(sample, 4000, 20240611)) {
        const std::string outcome = Outcome(text);
        EXPECT_TRUE(outcome == "ok" || IsParserFailure(outcome)) << text << " -> " << outcome;
    }
}

}  // namespace
}  // namespace vk
