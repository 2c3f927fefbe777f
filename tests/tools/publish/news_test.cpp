#include "news.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct NewsCase {
    std::string text;
    std::string problem;  // empty: good; otherwise a piece of the one expected problem
};

TEST(NewsTest, FindsWhatTheLauncherWouldRefuseSkipOrCut) {
    std::string sixty = "[";
    for (int i = 0; i < 60; ++i) sixty += i == 0 ? R"({"title": "t"})" : R"(,{"title": "t"})";
    const NewsCase cases[] = {
        {R"([{"date": "2024-05-01", "title": {"zh": "标题", "en": "Title"}, "body": "Both"}])", ""},
        {R"({"news": [{"title": {"en": "Only English"}}]})", ""},
        {"[]", ""},
        {R"({"news": {"title": "x"}})", "News file is malformed"},
        {R"({"items": []})", "News file is malformed"},
        {R"([{"title": "x"},])", "JSON"},
        {R"([{"title": "x"}, "text"])", "item 2 is not an object"},
        {R"([{"body": "no title"}])", "item 1 has no title"},
        {R"([{"title": {"zh": "", "en": ""}}])", "item 1 has no title"},
        {R"([{"title": "x", "date": 20240501}])", "item 1: date is not a string"},
        {R"([{"title": {"zh": "x", "en": 5}}])", "item 1: title.en is not a string"},
        {R"([{"title": "x", "body": ["a"]}])", "item 1: body is neither"},
        {R"([{"title": "x", "body": ")" + std::string(2001, 'b') + R"("}])", "item 1: body is longer than 2000 bytes"},
        {sixty + "]", "the file has 60 items"},
    };
    for (const NewsCase& c : cases) {
        const std::vector<std::string> problems = NewsProblems(c.text);
        if (c.problem.empty()) {
            EXPECT_TRUE(problems.empty()) << c.text << ": " << problems.front();
        } else {
            ASSERT_EQ(problems.size(), 1u) << c.text;
            EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
        }
    }
}

TEST(NewsTest, PlacesTheFileUnchangedAtTheNewsPath) {
    const TempDir work;
    const std::string text = "{\"news\": [{\"title\": \"One\"}, {\"title\": \"Two\"}]}\r\n";
    WriteBytes(work / "news.json", text);
    EXPECT_EQ(PublishNews({work / "store", work / "news.json"}), 2u);
    EXPECT_EQ(ReadBytes(work / "store/Shipping/LauncherNews.json"), text);
}

TEST(NewsTest, RefusesABadFileWithoutTouchingThePublishedOne) {
    const TempDir work;
    WriteBytes(work / "store/Shipping/LauncherNews.json", "[]");
    WriteBytes(work / "news.json", R"([{"body": "a"}, 7])");
    try {
        PublishNews({work / "store", work / "news.json"});
        FAIL() << "a bad news file was placed";
    } catch (const std::runtime_error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("item 1 has no title"), std::string::npos) << message;
        EXPECT_NE(message.find("item 2 is not an object"), std::string::npos) << message;
    }
    EXPECT_EQ(ReadBytes(work / "store/Shipping/LauncherNews.json"), "[]");
}

}  // namespace
}  // namespace vk::publish
