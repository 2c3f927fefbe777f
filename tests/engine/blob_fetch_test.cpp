#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>

#include "engine/updater.h"
#include "infra/language_portable.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

const char kBlobPath[] = "Velkar/Content/Paks/pakchunk1-Windows.pak";

class FetchBlob : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        release_ = test::TestUpdater("v1", dir_.path()).FetchRelease();
        for (const ReleaseFile& file : release_.files) {
            if (file.path == kBlobPath) blob_ = file;
        }
        ASSERT_FALSE(blob_.sha256.empty());
    }

    // Blobs trickle out of the fault server, so a download is still running when the test stops it.
    Updater Trickling() const {
        return test::TestUpdaterAt(test::Servers().fault + "/store/trickleblobs/game", "v1", dir_.path());
    }

    test::TempDir dir_;
    RemoteRelease release_;
    ReleaseFile blob_;
};

TEST_F(FetchBlob, StopFlagSetBeforehandFetchesNothing) {
    const std::atomic<bool> stop{true};
    std::atomic<std::uint64_t> received{0};
    EXPECT_EQ(test::FailureOf([&] { Trickling().FetchBlob(blob_.sha256, blob_.size, &received, &stop); }), "cancelled");
    EXPECT_EQ(received.load(), 0u);
}

// Closing the window during a slow launcher download sets the stop flag; the download ends at its next read.
TEST_F(FetchBlob, StopFlagEndsADownloadInTheMiddle) {
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> received{0};
    auto download = std::async(std::launch::async, [&] {
        return test::FailureOf([&] { Trickling().FetchBlob(blob_.sha256, blob_.size, &received, &stop); });
    });
    // The first bytes show that the download is under way.
    for (int waited = 0; received.load() == 0 && waited < 20000; waited += 10) Sleep(10);
    ASSERT_GT(received.load(), 0u) << "the download never started";
    stop = true;
    EXPECT_EQ(download.get(), "cancelled");
    EXPECT_LT(received.load(), blob_.size);
}

TEST_F(FetchBlob, WholeBlobIsCheckedAndReturned) {
    std::atomic<std::uint64_t> received{0};
    const std::string bytes = test::TestUpdater("v1", dir_.path()).FetchBlob(blob_.sha256, blob_.size, &received);
    EXPECT_EQ(bytes.size(), blob_.size);
    EXPECT_EQ(received.load(), blob_.size);
}

}  // namespace
}  // namespace vk
