// The built executable, driven as a publisher's script would drive it.
#include <gtest/gtest.h>

#include "infra/json_portable.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::RunTool;
using test::TempDir;
using test::WriteBytes;

TEST(ToolTest, BadUsageExitsWithTwoAndTheUsageText) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"frobnicate"}, {"gc"}, {"verify", "--store", "s", "--channel", "live"}}) {
        const test::ToolResult result = RunTool(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("usage:\n  velkar-publish keygen"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST(ToolTest, PublishesVerifiesAndCollects) {
    const TempDir work;
    WriteBytes(work / "game/Velkar.exe", "exe");
    WriteBytes(work / "game/Velkar/Content/Paks/a.pak", "a");
    const std::string store = (work / "store").string();
    const std::vector<std::string> release = {
        "release", "--store", store, "--game", (work / "game").string(), "--key", test::Keys().privateKey.string(),
        "--channel", "live", "--build-id", "b1", "--version", "1.0", "--launch", "Velkar.exe"};

    test::ToolResult result = RunTool(release);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("2 files, 4 B, 2 new blobs"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Channel live named no release before; its players download:\ngroup "), std::string::npos)
        << result.out;
    result = RunTool(release);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("0 new blobs"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Players of channel live on build b1 (releases/b1.json) download:\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\nall groups      0        0        0      0          2      0                  0 B\n"),
              std::string::npos)
        << result.out;

    const std::vector<std::string> verify = {"verify", "--store", store, "--channel", "live", "--public",
                                             test::Keys().publicKey.string()};
    result = RunTool(verify);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("2 blobs are good"), std::string::npos) << result.out;

    std::vector<std::string> verifyJson = verify;
    verifyJson.push_back("--json");
    result = RunTool(verifyJson);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    JsonValue json = ParseJson(result.out);
    EXPECT_EQ(StringField(json, "build_id"), "b1");
    EXPECT_EQ(UIntField(json, "blobs_checked"), 2u);
    EXPECT_TRUE(RequireField(json, "good").flag);

    fs::remove_all(work / "store/blobs");
    result = RunTool(verify);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("verify: 2 problems"), std::string::npos) << result.err;
    result = RunTool(verifyJson);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "");
    json = ParseJson(result.out);
    EXPECT_FALSE(RequireField(json, "good").flag);
    ASSERT_EQ(RequireField(json, "problems").items.size(), 2u);
    EXPECT_NE(result.out.find("\"blobs/"), std::string::npos) << result.out;

    WriteBytes(work / "store/blobs" / std::string(64, '0'), "unused");
    result = RunTool({"gc", "--store", store});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("blobs/" + std::string(64, '0') + "  6\n"), std::string::npos) << result.out;
}

TEST(ToolTest, RefusalNamesEveryOffendingFile) {
    const TempDir work;
    WriteBytes(work / "game/Velkar.exe", "exe");
    WriteBytes(work / "game/Velkar/Saved/a.ini", "a");
    WriteBytes(work / "game/Velkar/Saved/b.ini", "b");
    const test::ToolResult result =
        RunTool({"release", "--store", (work / "store").string(), "--game", (work / "game").string(), "--key",
                 test::Keys().privateKey.string(), "--channel", "live", "--build-id", "b1", "--version", "1.0",
                 "--launch", "Game.exe"});
    EXPECT_EQ(result.exitCode, 1);
    for (const char* piece : {"Velkar/Saved/a.ini", "Velkar/Saved/b.ini", "--launch Game.exe"}) {
        EXPECT_NE(result.err.find(piece), std::string::npos) << piece << "\n" << result.err;
    }
    EXPECT_FALSE(fs::exists(work / "store"));
}

}  // namespace
}  // namespace vk::publish
