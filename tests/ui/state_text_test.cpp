// Texts that depend on more than the state: sizes, the disk line and the notices.
#include <gtest/gtest.h>

#include "infra/language_portable.h"
#include "recording_canvas.h"
#include "ui/notices.h"
#include "ui/state_text.h"

namespace vk {
namespace {

using test::ViewInState;

TEST(StatusDetail, FreshInstallSizeLeavesOutTheFullMapUntilSelected) {
    LauncherView view = ViewInState(LauncherState::NotInstalled);
    useEnglish = true;
    EXPECT_EQ(StatusDetail(view), L"22.0 GB total");
    view.fullMapSelected = true;
    EXPECT_EQ(StatusDetail(view), L"30.0 GB total");
    useEnglish = false;
    EXPECT_EQ(StatusDetail(view), L"共 30.0 GB");
    view.fullMapSelected = false;
    view.releaseKnown = false;  // without a release the group counts nothing
    EXPECT_EQ(StatusDetail(view), L"共 30.0 GB");
}

TEST(StatusDetail, VerifyingShowsFilesAndThePercentage) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::Updating);
    view.progress = {};
    view.progress.phase = UpdatePhase::Verifying;
    view.progress.filesDone = 10;
    view.progress.filesTotal = 200;
    view.progress.bytesDone = 1;
    view.progress.bytesTotal = 3;
    EXPECT_EQ(StatusDetail(view), L"33% \u00B7 10 / 200 files");
    EXPECT_EQ(StateTitle(view), L"Verifying files");
    view.progress.phase = UpdatePhase::Idle;
    EXPECT_EQ(StatusDetail(view), L"33%");
}

TEST(DiskLine, InstalledSizeAndFreeSpaceWhenKnown) {
    struct Case {
        bool english;
        std::uint64_t installed;
        std::uint64_t free;
        const wchar_t* text;
    };
    const Case cases[] = {
        {true, 26414048051, 120688314777, L"24.6 GB \u00B7 112.4 GB free"},
        {false, 0, 120688314777, L"未安装 \u00B7 可用 112.4 GB"},
        {true, 0, 0, L"not installed"},
        {false, 26414048051, 0, L"24.6 GB"},
    };
    for (const Case& c : cases) {
        useEnglish = c.english;
        LauncherView view;
        view.installedBytes = c.installed;
        view.diskFreeBytes = c.free;
        EXPECT_EQ(DiskLine(view), c.text);
    }
}

TEST(Notices, WhichCardsShowInWhichStates) {
    struct Case {
        LauncherState state;
        bool installed;
        bool selected;
        const wchar_t* selfUpdateError;
        const wchar_t* runtimeNote;
        std::vector<std::wstring> texts;
    };
    const std::wstring fullMap = L"Full map not installed: training only. Bot matches and online play need it.";
    const Case cases[] = {
        {LauncherState::UpdateFailed, true, false, L"", L"", {L"Disk full.", fullMap}},
        {LauncherState::NotInstalled, false, false, L"", L"", {}},  // nothing installed: no offer
        {LauncherState::Ready, true, true, L"", L"", {}},           // already selected
        {LauncherState::LauncherTooOld, true, false, L"x", L"", {L"Please download the new launcher."}},
        {LauncherState::Ready,
         true,
         false,
         L"Hash mismatch.",
         L"Runtime failed.",
         {L"Launcher self-update failed: Hash mismatch.", L"Runtime failed.", fullMap}},
        {LauncherState::Paused, true, true, L"", L"Runtime failed.", {}},  // the runtime note only when ready
    };
    useEnglish = true;
    for (const Case& c : cases) {
        LauncherView view = ViewInState(c.state);
        view.installed = c.installed;
        view.fullMapSelected = c.selected;
        view.selfUpdateError = c.selfUpdateError;
        view.runtimeNote = c.runtimeNote;
        std::vector<std::wstring> texts;
        for (const Notice& notice : BuildNotices(view)) {
            texts.push_back(notice.text);
            EXPECT_EQ(notice.isError, !notice.offersFullMap);
        }
        EXPECT_EQ(texts, c.texts) << static_cast<int>(c.state);
    }
    useEnglish = false;
    LauncherView view = ViewInState(LauncherState::Ready);
    view.selfUpdateError = L"x";
    EXPECT_EQ(BuildNotices(view).front().text, L"启动器自动更新失败：x");
    EXPECT_EQ(FullMapLabel(view), L"下载完整地图（8.0 GB）");
}

}  // namespace
}  // namespace vk
