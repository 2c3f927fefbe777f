// The free-space query runs off the interface thread: a query that hangs never holds a paint.
#include "ui/disk_space.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <system_error>

#include "infra/handles.h"
#include "infra/language_portable.h"
#include "recording_canvas.h"
#include "ui/screen.h"
#include "ui/state_text.h"

namespace vk {
namespace {

// A query that takes 5 s (a sleeping network drive) unless the test lets it finish earlier.
struct SlowQuery {
    UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle answered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<int> calls{0};
    std::atomic<bool> finished{false};
};

TEST(DiskSpaceMonitor, PaintsAtOnceWhileTheQueryHangsThenShowsItsAnswer) {
    auto slow = std::make_shared<SlowQuery>();
    DiskSpaceMonitor monitor(
        [slow](const std::wstring& folder) -> std::uint64_t {
            ++slow->calls;
            WaitForSingleObject(slow->release.get(), 5000);
            slow->finished = true;
            return folder == L"N:\\Games" ? 120688314777 : 0;
        },
        [slow] { SetEvent(slow->answered.get()); });

    useEnglish = true;
    LauncherView view = test::ViewInState(LauncherState::Ready);
    view.installDir = L"N:\\Games";
    view.installedBytes = 0;
    view.diskFreeBytes = monitor.FreeBytes(view.installDir, 1000);
    test::RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    // The paint is done while the query still waits: the line has no free part yet.
    EXPECT_FALSE(slow->finished);
    EXPECT_NE(canvas.FindText(L"not installed"), nullptr);
    // Paints during the period start no second query.
    EXPECT_EQ(monitor.FreeBytes(view.installDir, 2000), 0u);
    SetEvent(slow->release.get());
    ASSERT_EQ(WaitForSingleObject(slow->answered.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(monitor.FreeBytes(view.installDir, 3000), 120688314777u);
    EXPECT_EQ(slow->calls, 1);
    // A period after the last start the value is refreshed in the background.
    EXPECT_EQ(monitor.FreeBytes(view.installDir, 6000), 120688314777u);
    ASSERT_EQ(WaitForSingleObject(slow->answered.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(slow->calls, 2);
    // Another folder is asked at once and is unknown until answered.
    EXPECT_EQ(monitor.FreeBytes(L"D:\\Other", 6100), 0u);
    ASSERT_EQ(WaitForSingleObject(slow->answered.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(slow->calls, 3);
}

// The system refusing a thread must not escape the paint, nor leave the query marked as running.
TEST(DiskSpaceMonitor, AQueryWhoseThreadCannotStartIsAskedAgainByTheNextPaint) {
    struct Shared {
        UniqueHandle answered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
        std::atomic<int> starts{0};
    };
    auto shared = std::make_shared<Shared>();
    DiskSpaceMonitor monitor(
        [](const std::wstring&) -> std::uint64_t { return 120688314777; },
        [shared] { SetEvent(shared->answered.get()); }, 5000,
        [shared](std::function<void()> work) {
            if (++shared->starts == 1) {
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            StartDetachedThread(std::move(work));
        });
    std::uint64_t free = 1;
    EXPECT_NO_THROW(free = monitor.FreeBytes(L"D:\\Games", 1000));
    EXPECT_EQ(free, 0u);
    // Well within the period: the failed start counts as no query.
    monitor.FreeBytes(L"D:\\Games", 1016);
    ASSERT_EQ(WaitForSingleObject(shared->answered.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared->starts, 2);
    EXPECT_EQ(monitor.FreeBytes(L"D:\\Games", 1032), 120688314777u);
}

TEST(QueryFreeSpace, FolderOrItsDriveRootOrNothing) {
    EXPECT_GT(QueryFreeSpace(L"C:\\windows"), 0u);
    EXPECT_GT(QueryFreeSpace(L"C:\\no such folder\\below"), 0u);  // the drive root answers
    EXPECT_EQ(QueryFreeSpace(L"Q:\\Games"), 0u);                  // no such drive
}

}  // namespace
}  // namespace vk
