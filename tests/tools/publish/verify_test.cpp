#include "verify.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "keygen.h"
#include "release.h"
#include "infra/sha256_portable.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class VerifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(game / "Velkar.exe", "the game");
        WriteBytes(game / "Velkar/Content/Paks/a.pak", "pak a");
        WriteBytes(game / "Velkar/Content/Paks/b.pak", "pak b");
        WriteBytes(work / "banner.jpg", "banner");
        ReleaseOptions options = test::BasicRelease(store, game.Path());
        options.banner = work / "banner.jpg";
        PublishRelease(options);
    }

    VerifyReport Verify(const fs::path& publicKey = test::Keys().publicKey) const {
        return VerifyStore({store, "live", publicKey});
    }

    fs::path Blob(const std::string& content) const { return store / ("blobs/" + Sha256Hex(content)); }

    TempDir game;
    TempDir work;
    const fs::path store = work / "store";
};

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) text += problem + "\n";
    return text;
}

TEST_F(VerifyTest, AFreshStoreIsGood) {
    const VerifyReport report = Verify();
    EXPECT_TRUE(report.problems.empty()) << Joined(report.problems);
    EXPECT_EQ(report.buildId, "b1");
    EXPECT_EQ(report.blobsChecked, 4u);
}

TEST_F(VerifyTest, ReportsEveryDamagedBlob) {
    WriteBytes(Blob("pak a"), "PAK A");  // same size, other content
    fs::remove(Blob("pak b"));
    WriteBytes(Blob("banner"), "bann");
    const VerifyReport report = Verify();
    const std::string text = Joined(report.problems);
    EXPECT_EQ(report.problems.size(), 3u) << text;
    EXPECT_NE(text.find("blobs/" + Sha256Hex("pak a") + ": content does not match"), std::string::npos) << text;
    EXPECT_NE(text.find("blobs/" + Sha256Hex("pak b") + ": missing"), std::string::npos) << text;
    EXPECT_NE(text.find("blobs/" + Sha256Hex("banner") + ": 4 bytes, expected 6"), std::string::npos) << text;
}

TEST_F(VerifyTest, ReportsAManifestThatDoesNotMatchItsSignature) {
    const fs::path manifest = store / "channels/live/windows.json";
    WriteBytes(manifest, ReadBytes(manifest) + "\n");
    const VerifyReport report = Verify();
    ASSERT_EQ(report.problems.size(), 1u) << Joined(report.problems);
    EXPECT_NE(report.problems[0].find("not a valid signature"), std::string::npos);
}

TEST_F(VerifyTest, ReportsASignatureMadeWithAnotherKey) {
    WriteNewKeyPair({work / "other.pem", work / "other.pub"});
    const VerifyReport report = Verify(work / "other.pub");
    ASSERT_EQ(report.problems.size(), 1u) << Joined(report.problems);
    EXPECT_NE(report.problems[0].find("windows.json.sig"), std::string::npos);
}

TEST_F(VerifyTest, ReportsAReleaseListThatIsNotTheOneSigned) {
    const fs::path list = store / "releases/b1.json";
    std::string bytes = ReadBytes(list);
    std::replace(bytes.begin(), bytes.end(), '1', '2');  // same size, other digest
    WriteBytes(list, bytes);
    const std::string text = Joined(Verify().problems);
    EXPECT_NE(text.find("releases/b1.json: size or SHA-256 differs from the manifest"), std::string::npos) << text;
}

TEST_F(VerifyTest, ReportsMissingDocuments) {
    EXPECT_NE(Joined(VerifyStore({store, "beta", test::Keys().publicKey}).problems)
                  .find("channels/beta/windows.json: missing"),
              std::string::npos);
    fs::remove(store / "releases/b1.json");
    EXPECT_NE(Joined(Verify().problems).find("releases/b1.json: missing"), std::string::npos);
}

TEST_F(VerifyTest, AnUnreadablePublicKeyIsAFailureNotAProblem) {
    WriteBytes(work / "bad.pub", "not a key");
    EXPECT_THROW(Verify(work / "bad.pub"), std::runtime_error);
}

}  // namespace
}  // namespace vk::publish
