#include "gc.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "release.h"
#include "infra/sha256_portable.h"
#include "store.h"
#include "support.h"
#include "verify.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Two channels: "live" moved from b1 to b2, "beta" carries b3 with a launcher offer.
class GcTest : public ::testing::Test {
protected:
    void SetUp() override {
        Publish("live", "b1", {{"Velkar.exe", "exe 1"}, {"shared.pak", "shared"}, {"old.pak", "only in b1"}});
        Publish("live", "b2", {{"Velkar.exe", "exe 2"}, {"shared.pak", "shared"}});
        WriteBytes(work / "launcher.exe", "launcher");
        Publish("beta", "b3", {{"Velkar.exe", "exe 3"}}, work / "launcher.exe");
        WriteBytes(store / "blobs" / Sha256Hex("stray"), "stray");
    }

    void Publish(const std::string& channel, const std::string& build,
                 const std::vector<std::pair<std::string, std::string>>& files,
                 const std::optional<fs::path>& launcher = std::nullopt) {
        test::PublishFiles(store, channel, build, files, [&](ReleaseOptions& options) {
            options.launcherExe = launcher;
            options.launcherVersion = "2.5.0";
        });
    }

    std::set<std::string> Unreferenced(const GcOptions& options) const {
        std::set<std::string> names;
        for (const BlobRef& blob : CollectGarbage(options).unreferenced) names.insert(blob.sha256);
        return names;
    }

    TempDir work;
    const fs::path store = work / "store";
};

TEST_F(GcTest, ListsOnlyBlobsNoCurrentReleaseNeeds) {
    const std::set<std::string> expected = {Sha256Hex("exe 1"), Sha256Hex("only in b1"), Sha256Hex("stray")};
    EXPECT_EQ(Unreferenced({store, {}, false}), expected);
    for (const std::string& sha : expected) EXPECT_TRUE(fs::exists(store / ("blobs/" + sha))) << sha;
}

TEST_F(GcTest, KeptReleasesKeepTheirBlobs) {
    EXPECT_EQ(Unreferenced({store, {"releases/b1.json"}, false}), std::set<std::string>{Sha256Hex("stray")});
}

TEST_F(GcTest, DeleteRemovesExactlyTheUnreferencedBlobs) {
    const GcReport report = CollectGarbage({store, {}, true});
    EXPECT_EQ(report.unreferenced.size(), 3u);
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(store / "blobs")) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{Sha256Hex("exe 2"), Sha256Hex("shared"), Sha256Hex("exe 3"),
                                           Sha256Hex("launcher")}));
    for (const char* channel : {"live", "beta"}) {
        const VerifyReport verify = VerifyStore({store, channel, test::Keys().publicKey});
        EXPECT_TRUE(verify.problems.empty()) << channel << ": " << verify.problems.front();
    }
}

TEST_F(GcTest, DeletesNothingWhenAKeptDocumentCannotBeRead) {
    const fs::path list = store / "releases/b2.json";
    const std::string bytes = ReadBytes(list);
    struct Damage {
        const char* what;
        std::string content;
    };
    const Damage damages[] = {
        {"truncated list", bytes.substr(0, bytes.size() / 2)},
        {"entry without digest", R"({"schema": 1, "platform": "windows", "build_id": "b2", "project_version": "1",
            "launch": {"path": "Velkar.exe", "args": []}, "files": [{"path": "shared.pak", "size": 6}]})"},
    };
    for (const Damage& damage : damages) {
        WriteBytes(list, damage.content);
        EXPECT_THROW(CollectGarbage({store, {}, true}), std::runtime_error) << damage.what;
        EXPECT_TRUE(fs::exists(store / ("blobs/" + Sha256Hex("stray")))) << damage.what;
        EXPECT_TRUE(fs::exists(store / ("blobs/" + Sha256Hex("shared")))) << damage.what;
    }
    fs::remove(list);
    EXPECT_THROW(CollectGarbage({store, {}, true}), std::runtime_error);
    WriteBytes(list, bytes);
    EXPECT_THROW(CollectGarbage({store, {"releases/none.json"}, true}), std::runtime_error);
    EXPECT_TRUE(fs::exists(store / ("blobs/" + Sha256Hex("stray"))));
}

}  // namespace
}  // namespace vk::publish
