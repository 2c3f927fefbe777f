#include "platform/news_format_portable.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "infra/language_portable.h"

namespace vk {
namespace {

class NewsFormatTest : public ::testing::Test {
protected:
    void TearDown() override { useEnglish = false; }
};

JsonValue Text(const std::string& text) {
    JsonValue value;
    value.type = JsonType::String;
    value.text = text;
    return value;
}

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

TEST_F(NewsFormatTest, BareArrayAndNewsMemberGiveTheSameItems) {
    const std::string item =
        R"({"date": "2024-05-01", "title": {"zh": "更新", "en": "Update"}, "body": {"zh": "正文", "en": "Body"}})";
    for (const std::string& text : {"[" + item + "]", R"({"news": [)" + item + "]}"}) {
        const std::vector<NewsItem> news = ParseNews(text);
        ASSERT_EQ(news.size(), 1u) << text;
        EXPECT_EQ(news[0].date, "2024-05-01");
        EXPECT_EQ(news[0].titleZh, "更新");
        EXPECT_EQ(news[0].titleEn, "Update");
        EXPECT_EQ(news[0].bodyZh, "正文");
        EXPECT_EQ(news[0].bodyEn, "Body");
    }
}

TEST_F(NewsFormatTest, RootWithoutAnArrayIsMalformed) {
    useEnglish = true;
    for (const char* text : {R"({"news": {}})", R"({"items": []})", R"("news")", "5"}) {
        try {
            ParseNews(text);
            FAIL() << "accepted " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "News file is malformed") << text;
        }
    }
    useEnglish = false;
    try {
        ParseNews(R"({"news": {}})");
        FAIL() << "accepted an object as the news list";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "动态文件格式错误");
    }
}

TEST_F(NewsFormatTest, JsonErrorsPassThrough) {
    try {
        ParseNews("[");
        FAIL() << "accepted a broken document";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("JSON 格式错误：", 0), 0u) << error.what();
    }
}

TEST_F(NewsFormatTest, ReadsEachItemByTheFormatRules) {
    const std::vector<NewsItem> news = ParseNews(R"([
        {"title": "Same for both", "body": "Body for both"},
        {"title": {"en": "Only English"}},
        {"title": "", "body": "dropped: no title"},
        {"title": {"zh": "", "en": ""}},
        "not an object",
        17,
        {"date": 20240501, "title": {"zh": 5, "en": "Typed"}, "body": ["x"]}
    ])");
    ASSERT_EQ(news.size(), 3u);
    EXPECT_EQ(news[0].titleZh, "Same for both");
    EXPECT_EQ(news[0].titleEn, "Same for both");
    EXPECT_EQ(news[0].bodyZh, "Body for both");
    EXPECT_EQ(news[0].bodyEn, "Body for both");
    EXPECT_EQ(news[1].titleZh, "");
    EXPECT_EQ(news[1].titleEn, "Only English");
    EXPECT_EQ(news[2].date, "");
    EXPECT_EQ(news[2].titleZh, "");
    EXPECT_EQ(news[2].titleEn, "Typed");
    EXPECT_EQ(news[2].bodyZh, "");
    EXPECT_EQ(news[2].bodyEn, "");
}

TEST_F(NewsFormatTest, KeepsTheFirstFiftyItems) {
    std::string text = "[";
    for (int i = 0; i < 60; ++i) {
        text += i == 0 ? R"({"title": "t)" : R"(,{"title": "t)";
        text += std::to_string(i);
        text += "\"}";
    }
    const std::vector<NewsItem> news = ParseNews(text + "]");
    ASSERT_EQ(news.size(), 50u);
    EXPECT_EQ(news.back().titleEn, "t49");
}

TEST_F(NewsFormatTest, SkippedItemsDoNotCountTowardsTheLimit) {
    std::string text = "[1, 2, 3";
    for (int i = 0; i < 50; ++i) text += R"(, {"title": "t"})";
    EXPECT_EQ(ParseNews(text + "]").size(), 50u);
}

TEST_F(NewsFormatTest, TextIsCutWithoutBreakingUtf8) {
    const std::string euro = "\xE2\x82\xAC";  // three bytes
    const std::string pound = "\xC2\xA3";     // two bytes
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {std::string(2000, 'a'), std::string(2000, 'a')},
        {std::string(2001, 'a'), std::string(2000, 'a')},
        // A three-byte character that straddles the cut is dropped whole.
        {std::string(1998, 'a') + euro, std::string(1998, 'a')},
        // A character that ends exactly at the cut is dropped too.
        {std::string(1998, 'a') + pound + "b", std::string(1998, 'a')},
        {std::string(1999, 'a') + pound, std::string(1999, 'a')},
        {std::string(667, 'a') + Repeat(euro, 500), std::string(667, 'a') + Repeat(euro, 444)},
    };
    for (const Case& c : cases) {
        const JsonValue value = Text(c.text);
        EXPECT_EQ(NewsText(&value), c.expected) << c.text.size();
    }
}

TEST_F(NewsFormatTest, TextOfAMissingOrNonStringValueIsEmpty) {
    JsonValue number;
    number.type = JsonType::Number;
    number.number = 5;
    EXPECT_EQ(NewsText(nullptr), "");
    EXPECT_EQ(NewsText(&number), "");
}

TEST_F(NewsFormatTest, LongTitleInAFileIsCut) {
    const std::vector<NewsItem> news = ParseNews(R"([{"title": ")" + std::string(1998, 'a') + "\xE2\x82\xAC" + "\"}]");
    ASSERT_EQ(news.size(), 1u);
    EXPECT_EQ(news[0].titleEn, std::string(1998, 'a'));
}

}  // namespace
}  // namespace vk
