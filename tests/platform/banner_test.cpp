// The banner cache: one file per digest, downloads only when the release names a new picture.
#include <gtest/gtest.h>

#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/sha256.h"
#include "infra/text.h"
#include "platform/banner.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

class Banner : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        picture_ = ReadWholeFile(test::GameTree(L"v1") + L"\\readme.txt");
        ASSERT_FALSE(picture_.empty());
        info_.bannerSha256 = Sha256Hex(picture_);
        info_.bannerSize = picture_.size();
        config_ = test::TestUpdater("v1", dir_ / L"game", dir_ / L"cache");
    }

    std::wstring CachePath(const std::string& sha256) const {
        return config_.cacheDir + L"\\banner-" + Utf8ToWide(sha256);
    }

    test::TempDir dir_;
    std::string picture_;
    LauncherInfo info_;
    Updater config_;
};

TEST_F(Banner, IsDownloadedOnceAndThenServedFromTheCacheAlone) {
    const std::wstring stale = CachePath(std::string(64, '0'));
    test::WriteTestFile(stale, "old picture");
    EXPECT_TRUE(GetBanner(config_, info_, false).empty()) << "not cached and no download allowed";

    EXPECT_EQ(GetBanner(config_, info_, true), picture_);
    EXPECT_EQ(ReadWholeFile(CachePath(info_.bannerSha256)), picture_);
    EXPECT_FALSE(IsRegularFile(stale)) << "one banner stays in the cache";

    config_.baseUrl = "https://127.0.0.1:9/unreachable";
    EXPECT_EQ(GetBanner(config_, info_, true), picture_);
    EXPECT_EQ(GetBanner(config_, info_, false), picture_);
}

TEST_F(Banner, BytesThatDoNotMatchTheReleaseAreNeitherReturnedNorCached) {
    // The server holds other bytes under the digest the release names.
    const std::string folder = "banner-" + test::UniqueQuery().substr(3);
    std::string other = picture_;
    other[0] ^= 1;
    test::WriteTestFile(test::WwwDir() + L"\\" + Utf8ToWide(folder) + L"\\blobs\\" + Utf8ToWide(info_.bannerSha256),
                        other);
    config_.baseUrl = test::Servers().https + "/" + folder;
    EXPECT_EQ(test::FailureOf([&] { GetBanner(config_, info_, true); }), "Downloaded data failed verification.");
    EXPECT_FALSE(IsRegularFile(CachePath(info_.bannerSha256)));

    // A damaged cached copy is not shown either: it is fetched again where the server has the real one.
    test::WriteTestFile(CachePath(info_.bannerSha256), other);
    EXPECT_TRUE(GetBanner(config_, info_, false).empty());
    config_ = test::TestUpdater("v1", dir_ / L"game", dir_ / L"cache");
    EXPECT_EQ(GetBanner(config_, info_, true), picture_);
}

TEST_F(Banner, NothingWithoutABannerOrACache) {
    EXPECT_TRUE(GetBanner(config_, LauncherInfo{}, true).empty());
    config_.cacheDir.clear();
    EXPECT_TRUE(GetBanner(config_, info_, true).empty());
}

}  // namespace
}  // namespace vk
