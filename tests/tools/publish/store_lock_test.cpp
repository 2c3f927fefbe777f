// One writer per store: the tool refuses (or waits) while another process holds the store's lock.
#include "store_lock.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "engine/release_documents_portable.h"
#include "file_io.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::TempDir;
using test::WriteBytes;

class StoreLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(work / "game/Velkar.exe", "exe");
        WriteBytes(work / "news.json", R"([{"date": "2026-12-01", "title": "t", "body": "b"}])");
    }

    std::vector<std::string> Release(const std::string& wait, const std::string& channel = "live",
                                     const std::string& build = "b1") const {
        return {"release",
                "--store",
                store.string(),
                "--game",
                (work / "game").string(),
                "--key",
                test::Keys().privateKey.string(),
                "--channel",
                channel,
                "--build-id",
                build,
                "--version",
                "1.0",
                "--launch",
                "Velkar.exe",
                "--wait",
                wait};
    }

    std::vector<std::string> Promote(const std::string& wait) const {
        return {"promote", "--store", store.string(), "--key", test::Keys().privateKey.string(), "--from", "internal",
                "--to",    "live",    "--wait",       wait};
    }

    std::vector<std::string> Rollback(const std::string& wait) const {
        return {"rollback",   "--store", store.string(), "--key", test::Keys().privateKey.string(), "--channel", "live",
                "--to-build", "b1",      "--wait",       wait};
    }

    TempDir work;
    const fs::path store = work / "store";
};

TEST_F(StoreLockTest, EveryWriterIsRefusedWhileAnotherHoldsTheStore) {
    const StoreWriteLock other(store, 0);
    const std::vector<std::vector<std::string>> writers = {
        Release("0"),
        Promote("0"),
        Rollback("1"),
        {"news", "--store", store.string(), "--file", (work / "news.json").string()},
        {"gc", "--store", store.string(), "--delete", "--wait", "1"},
    };
    for (const std::vector<std::string>& arguments : writers) {
        const test::ToolResult result = RunTool(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_NE(result.err.find("another velkar-publish is writing to the store " + Utf8Of(store)),
                  std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(fs::exists(store / "channels")) << "the refused release wrote its manifest";
    EXPECT_FALSE(fs::exists(store / "Shipping")) << "the refused news were placed";
    EXPECT_EQ(RunTool({"gc", "--store", store.string()}).exitCode, 0) << "listing changes nothing and needs no lock";
}

TEST_F(StoreLockTest, AWriterThatWaitsGoesOnWhenTheOtherFinishes) {
    // Live gets b1, then internal's b0 by the promote, then b1 again by the rollback.
    ASSERT_EQ(RunTool(Release("0", "internal", "b0")).exitCode, 0);
    for (const std::vector<std::string>& arguments : {Release("30"), Promote("30"), Rollback("30")}) {
        std::optional<StoreWriteLock> other(std::in_place, store, 0);
        std::thread finish([&other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            other.reset();
        });
        const test::ToolResult result = RunTool(arguments);
        finish.join();
        EXPECT_EQ(result.exitCode, 0) << arguments[0] << ": " << result.err;
    }
    std::vector<std::string> problems;
    const ChannelManifest live = ReadManifest(ReadBytes(store / "channels/live/windows.json"), problems);
    EXPECT_EQ(live.buildId, "b1");
    EXPECT_EQ(live.sequence, std::optional<std::uint64_t>(3));
}

TEST_F(StoreLockTest, TheLockEndsWithItsHolder) {
    { const StoreWriteLock first(store, 0); }
    EXPECT_NO_THROW(StoreWriteLock(store, 0));
}

}  // namespace
}  // namespace vk::publish
