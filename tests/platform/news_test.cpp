// The news refresh and its cache against the test server.
#include <gtest/gtest.h>

#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/news.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "support/test_servers.h"

namespace vk {
namespace {

class News : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        folder_ = "news-" + test::UniqueQuery().substr(3);
        config_.baseUrl = test::Servers().https + "/" + folder_;
        config_.cacheDir = dir_ / L"cache";
    }

    void Serve(const std::string& body) const {
        test::WriteTestFile(test::WwwDir() + L"\\" + Utf8ToWide(folder_) + L"\\Shipping\\LauncherNews.json", body);
    }

    std::string Cached() const { return ReadWholeFile(config_.cacheDir + L"\\news.json"); }

    test::TempDir dir_;
    std::string folder_;
    Updater config_;
};

constexpr char kGood[] =
    "[{\"date\": \"2026-12-01\", \"title\": {\"zh\": \"更新\", \"en\": \"Update\"}, \"body\": \"b\"}]";

TEST_F(News, ARefreshReturnsTheListAndCachesTheFileAsReceived) {
    Serve(kGood);
    const std::vector<NewsItem> items = RefreshNews(config_);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].titleZh, "更新");
    EXPECT_EQ(Cached(), kGood);
    ASSERT_EQ(LoadCachedNews(config_).size(), 1u);
    EXPECT_EQ(LoadCachedNews(config_)[0].bodyEn, "b");
}

TEST_F(News, ABadFileIsRefusedAndNeverReplacesTheCache) {
    Serve(kGood);
    RefreshNews(config_);
    struct Case {
        const char* label;
        std::string body;
        std::string failure;
    };
    const Case cases[] = {
        {"not JSON", "<html>", ""},
        {"no list", "{\"news\": {}}", "News file is malformed"},
        // Not signed: a body this large is refused before it is parsed or stored.
        {"above 1 MiB", "[" + std::string(kNewsBodyLimit, ' ') + "]", "The news file is too large."},
    };
    for (const Case& c : cases) {
        Serve(c.body);
        const std::string failure = test::FailureOf([&] { RefreshNews(config_); });
        EXPECT_NE(failure, "no failure") << c.label;
        if (!c.failure.empty()) {
            EXPECT_EQ(failure, c.failure) << c.label;
        }
        EXPECT_EQ(Cached(), kGood) << c.label;
    }
    Serve("[" + std::string(kNewsBodyLimit - 2, ' ') + "]");
    EXPECT_TRUE(RefreshNews(config_).empty()) << "exactly 1 MiB is accepted";
}

TEST_F(News, NewsComesOnlyOverHttpsOrFromThisMachine) {
    Serve(kGood);
    ASSERT_EQ(RefreshNews(config_).size(), 1u);
    // The plain-HTTP server on the loopback address is this machine.
    Updater plain = config_;
    plain.baseUrl = test::Servers().http + "/" + folder_;
    EXPECT_EQ(RefreshNews(plain).size(), 1u);
    // One elsewhere is never asked, and what was cached shows only for a trusted source.
    Updater remote = config_;
    remote.baseUrl = "http://updates.velkar.invalid/store";
    EXPECT_EQ(test::FailureOf([&] { EXPECT_TRUE(RefreshNews(remote).empty()); }), "no failure");
    EXPECT_TRUE(LoadCachedNews(remote).empty());
    EXPECT_EQ(LoadCachedNews(config_).size(), 1u);
}

TEST(NewsSource, TrustedOverHttpsOrFromALoopbackAddress) {
    const struct {
        const char* url;
        bool trusted;
    } cases[] = {
        {"https://updates.example.com/velkar", true},
        {"https://10.1.2.3:8443", true},
        {"http://127.0.0.1:8080/store", true},
        {"http://127.44.0.9/store", true},
        {"http://localhost/store", true},
        {"http://LocalHost:81", true},
        {"http://updates.example.com/velkar", false},
        {"http://127.0.0.1.example.com/velkar", false},
        {"http://127.0.0.1a/velkar", false},
        {"http://128.0.0.1/velkar", false},
        {"http://localhost.example.com/velkar", false},
        {"ftp://localhost/velkar", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NewsSourceTrusted(c.url), c.trusted) << c.url;
}

TEST_F(News, AMissingFileFailsWithTheStatus) {
    EXPECT_EQ(test::FailureOf([&] { RefreshNews(config_); }), "Could not get update info: HTTP 404");
}

TEST_F(News, TheCacheGivesAnEmptyListWhenItCannotBeUsed) {
    struct Case {
        const char* label;
        std::string text;
    };
    const Case cases[] = {
        {"empty", ""},
        {"malformed", "{\"news\": 1}"},
        {"above 1 MiB", "[" + std::string(kNewsBodyLimit, ' ') + "]"},
    };
    for (const Case& c : cases) {
        test::WriteTestFile(config_.cacheDir + L"\\news.json", c.text);
        EXPECT_TRUE(LoadCachedNews(config_).empty()) << c.label;
    }
    config_.cacheDir.clear();
    EXPECT_TRUE(LoadCachedNews(config_).empty());
}

}  // namespace
}  // namespace vk
