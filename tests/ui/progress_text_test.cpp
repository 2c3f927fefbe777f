#include "ui/progress_text.h"

#include <gtest/gtest.h>

#include "infra/language_portable.h"

namespace vk {
namespace {

TEST(FormatSize, UnitsAndBoundaries) {
    const std::pair<std::uint64_t, const wchar_t*> cases[] = {
        {0, L"0.0 MB"},          {102400, L"0.1 MB"},           {1073741823, L"1024.0 MB"}, {1073741824, L"1.0 GB"},
        {5368709120, L"5.0 GB"}, {1099511627775, L"1024.0 GB"}, {1099511627776, L"1.0 TB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatSize(bytes), text) << bytes;
}

void Set(UpdateProgress& p, UpdatePhase phase, std::uint64_t done, std::uint64_t total) {
    p.phase = phase;
    p.bytesDone = done;
    p.bytesTotal = total;
}

TEST(SpeedEstimator, NeedsHalfASecondAndKeepsFiveSeconds) {
    UpdateProgress p;
    SpeedEstimator speed;
    Set(p, UpdatePhase::Downloading, 5 << 20, 100 << 20);
    speed.Sample(p, 1000);
    p.bytesDone = 6 << 20;
    speed.Sample(p, 1500);  // exactly half a second: no estimate yet
    EXPECT_EQ(speed.bytesPerSecond(), 0.0);
    p.bytesDone = 7 << 20;
    speed.Sample(p, 2000);
    EXPECT_DOUBLE_EQ(speed.bytesPerSecond(), 2.0 * (1 << 20));
    p.bytesDone = 1 << 20;  // a counter that goes back keeps the last estimate
    speed.Sample(p, 2250);
    EXPECT_DOUBLE_EQ(speed.bytesPerSecond(), 2.0 * (1 << 20));
    // Samples older than five seconds drop out of the window.
    p.bytesDone = 12 << 20;
    speed.Sample(p, 8000);
    p.bytesDone = 22 << 20;
    speed.Sample(p, 9000);
    EXPECT_DOUBLE_EQ(speed.bytesPerSecond(), 10.0 * (1 << 20));
    p.phase = UpdatePhase::Installing;
    speed.Sample(p, 9250);
    EXPECT_EQ(speed.bytesPerSecond(), 0.0);
}

TEST(ProgressDetail, ByPhaseAndLanguage) {
    UpdateProgress p;
    p.filesDone = 10;
    p.filesTotal = 200;
    useEnglish = true;
    Set(p, UpdatePhase::Verifying, 0, 0);
    EXPECT_EQ(ProgressDetail(p, 0), L"10 / 200 files");
    Set(p, UpdatePhase::Downloading, 1288490189, 3650722202);
    EXPECT_EQ(ProgressDetail(p, 1.0), L"1.2 GB / 3.4 GB");
    // 3725 seconds left at 1 MiB/s.
    Set(p, UpdatePhase::Downloading, 0, 3725ull << 20);
    EXPECT_EQ(ProgressDetail(p, 1048576.0), L"0.0 MB / 3.6 GB \u00B7 1.0 MB/s \u00B7 62 min 5 s left");
    Set(p, UpdatePhase::Downloading, 200, 100);
    EXPECT_EQ(ProgressDetail(p, 2.0), L"0.0 MB / 0.0 MB \u00B7 0.0 MB/s \u00B7 0 min 0 s left");
    useEnglish = false;
    Set(p, UpdatePhase::Downloading, 0, 3725ull << 20);
    EXPECT_EQ(ProgressDetail(p, 1048576.0), L"0.0 MB / 3.6 GB \u00B7 1.0 MB/s \u00B7 剩余 62 分 5 秒");
    Set(p, UpdatePhase::Installing, 0, 0);
    EXPECT_EQ(ProgressDetail(p, 0), L"10 / 200 个文件");
    EXPECT_EQ(PhaseLabel(UpdatePhase::Installing), L"正在安装");
    Set(p, UpdatePhase::Idle, 0, 0);
    EXPECT_EQ(ProgressDetail(p, 5.0), L"");
}

}  // namespace
}  // namespace vk
