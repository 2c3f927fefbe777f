#include "refresh.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/release_documents_portable.h"
#include "infra/signature_portable.h"
#include "release.h"
#include "support.h"
#include "verify.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class RefreshTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(game / "Velkar.exe", "the game");
        ReleaseOptions options = test::BasicRelease(store, game.Path());
        options.published = "2026-12-10T11:46:17Z";
        options.expiresInDays = 7;
        PublishRelease(options);
    }

    RefreshOptions Options() const { return {store, test::Keys().privateKey, "live", 14, "2026-12-15T08:00:00Z", 0}; }

    ChannelManifest Manifest() const {
        std::vector<std::string> problems;
        return ReadManifest(ReadBytes(store / "channels/live/windows.json"), problems);
    }

    TempDir game;
    TempDir work;
    const fs::path store = work / "store";
};

TEST_F(RefreshTest, SignsTheSameReleaseAgainWithTheNextSequenceAndANewExpiry) {
    const ChannelManifest before = Manifest();
    const std::string list = ReadBytes(store / before.release);
    const RefreshSummary summary = RefreshChannel(Options());
    EXPECT_EQ(summary.buildId, "b1");
    EXPECT_EQ(summary.sequence, 2u);
    EXPECT_EQ(summary.expires, "2026-12-29T08:00:00Z");

    ChannelManifest expected = before;
    expected.sequence = 2;
    expected.published = "2026-12-15T08:00:00Z";
    expected.expires = "2026-12-29T08:00:00Z";
    const std::string bytes = ReadBytes(store / "channels/live/windows.json");
    EXPECT_EQ(bytes, ManifestJson(expected));
    EXPECT_TRUE(
        VerifySignature(bytes, ReadBytes(store / "channels/live/windows.json.sig"), ReadBytes(test::Keys().publicKey)));
    EXPECT_EQ(ReadBytes(store / before.release), list);
    EXPECT_EQ(RefreshChannel(Options()).sequence, 3u);
}

TEST_F(RefreshTest, RefusesAChannelWithoutAManifestThisKeySigned) {
    RefreshOptions otherChannel = Options();
    otherChannel.channel = "beta";
    EXPECT_THROW(RefreshChannel(otherChannel), std::runtime_error);
    EXPECT_FALSE(fs::exists(store / "channels/beta"));

    // A manifest changed after it was signed is not signed again.
    const fs::path manifest = store / "channels/live/windows.json";
    ChannelManifest planted = Manifest();
    planted.buildId = "planted";
    WriteBytes(manifest, ManifestJson(planted));
    EXPECT_THROW(RefreshChannel(Options()), std::runtime_error);
    EXPECT_EQ(ReadBytes(manifest), ManifestJson(planted));

    RefreshOptions nowhere = Options();
    nowhere.store = work / "no-store";
    EXPECT_THROW(RefreshChannel(nowhere), std::runtime_error);
    EXPECT_FALSE(fs::exists(nowhere.store));
}

TEST_F(RefreshTest, VerifyReportsAnExpiredManifestUntilItIsRefreshed) {
    RefreshOptions options = Options();
    options.published = "2001-01-01T00:00:00Z";
    RefreshChannel(options);
    const VerifyReport expired = VerifyStore({store, "live", test::Keys().publicKey});
    ASSERT_EQ(expired.problems.size(), 1u);
    EXPECT_EQ(expired.problems[0],
              "channels/live/windows.json: expired at 2001-01-15T00:00:00Z; launchers refuse it "
              "until velkar-publish refresh signs it again");
    options.published.clear();  // now
    RefreshChannel(options);
    EXPECT_TRUE(VerifyStore({store, "live", test::Keys().publicKey}).problems.empty());
}

}  // namespace
}  // namespace vk::publish
