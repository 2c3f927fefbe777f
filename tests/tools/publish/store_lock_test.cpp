// One writer per store: the tool refuses (or waits) while another process holds the store's lock.
#include "store_lock.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "support.h"

namespace vk::publish {
namespace {

using test::RunTool;
using test::ScratchDir;
using test::WriteBytes;

class StoreLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(work / "game/Velkar.exe", "exe");
        WriteBytes(work / "news.json", R"([{"date": "2026-12-01", "title": "t", "body": "b"}])");
    }

    std::vector<std::string> Release(const std::string& wait) const {
        return {"release", "--store", store.string(), "--game", (work / "game").string(), "--key",
                test::Keys().privateKey.string(), "--channel", "live", "--build-id", "b1", "--version", "1.0",
                "--launch", "Velkar.exe", "--wait", wait};
    }

    ScratchDir work;
    const fs::path store = work / "store";
};

TEST_F(StoreLockTest, EveryWriterIsRefusedWhileAnotherHoldsTheStore) {
    const StoreWriteLock other(store, 0);
    const std::vector<std::vector<std::string>> writers = {
        Release("0"),
        {"news", "--store", store.string(), "--file", (work / "news.json").string()},
        {"gc", "--store", store.string(), "--delete", "--wait", "1"},
    };
    for (const std::vector<std::string>& arguments : writers) {
        const test::ToolResult result = RunTool(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_NE(result.err.find("another velkar-publish is writing to the store " + store.string()),
                  std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(fs::exists(store / "channels")) << "the refused release wrote its manifest";
    EXPECT_FALSE(fs::exists(store / "Shipping")) << "the refused news were placed";
    EXPECT_EQ(RunTool({"gc", "--store", store.string()}).exitCode, 0) << "listing changes nothing and needs no lock";
}

TEST_F(StoreLockTest, AWriterThatWaitsGoesOnWhenTheOtherFinishes) {
    std::optional<StoreWriteLock> other(std::in_place, store, 0);
    std::thread finish([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.reset();
    });
    const test::ToolResult result = RunTool(Release("30"));
    finish.join();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(store / "channels/live/windows.json"));
}

TEST_F(StoreLockTest, TheLockEndsWithItsHolder) {
    { const StoreWriteLock first(store, 0); }
    EXPECT_NO_THROW(StoreWriteLock(store, 0));
}

}  // namespace
}  // namespace vk::publish
