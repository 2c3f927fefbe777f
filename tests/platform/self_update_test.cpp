#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/self_update.h"
#include "platform/session_end.h"
#include "platform/single_instance.h"
#include "platform_fixtures.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

const std::string kOldLauncher = "the launcher that runs now";

// The real file system, with a look at each move before it happens: a test holds files open there the
// way a scanner or a terminated process still mapping its image does, and notes what the window sees.
class WatchedFiles final : public FileOperations {
public:
    // Called before each move with the pair and how many times that pair has been tried so far.
    std::function<void(const std::wstring& from, const std::wstring& to, unsigned attempt)> beforeMove;

    unsigned long Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        const unsigned attempt = ++attempts[from + L">" + to];
        swapMarkedAtMoves = swapMarkedAtMoves && SelfUpdateSwapInProgress();
        endSessionAnswers += AnswerQueryEndSession(nullptr) ? L"T" : L"F";
        if (beforeMove) beforeMove(from, to, attempt);
        return RealFileOperations().Move(from, to, replace);
    }

    unsigned long Delete(const std::wstring& path) override { return RealFileOperations().Delete(path); }

    std::map<std::wstring, unsigned> attempts;
    bool swapMarkedAtMoves = true;
    std::wstring endSessionAnswers;
};

class SelfUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        WriteFileAtomic(files_.exe, kOldLauncher);
        ASSERT_TRUE(AcquireSingleInstance(false));
        options_.files = files_;
        options_.fileOperations = &watched_;
    }

    void TearDown() override { ReleaseSingleInstance(); }

    bool Apply(const std::wstring& successor) {
        successorBytes_ = test::FixtureBytes(successor);
        return ApplySelfUpdate(successorBytes_, error_, options_);
    }

    // Opens a file the way a scanner would: others may read it, nobody may write, move or delete it.
    static UniqueHandle HoldOpen(const std::wstring& path) {
        return UniqueHandle(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }

    // Compares file contents without printing executables into the test log.
    static bool Holds(const std::wstring& path, const std::string& bytes) { return ReadWholeFile(path) == bytes; }

    void ExpectOldLauncherBack() const {
        EXPECT_TRUE(Holds(files_.exe, kOldLauncher));
        EXPECT_FALSE(IsRegularFile(files_.previousExe));
        EXPECT_FALSE(IsRegularFile(files_.newExe));
        EXPECT_TRUE(HoldsSingleInstance());
    }

    test::TempDir dir_;
    LauncherFiles files_ = LauncherFiles::Beside(dir_ / L"VelkarLauncher.exe");
    WatchedFiles watched_;
    SelfUpdateOptions options_;
    std::string successorBytes_;
    std::wstring error_;
};

// A close of the window while the new launcher downloads and the swap exclude each other: a close
// before the swap leaves everything as it was, a close during it is refused.
TEST_F(SelfUpdate, ACloseAndTheSwapExcludeEachOther) {
    ASSERT_TRUE(PreventSelfUpdateSwap());
    EXPECT_FALSE(Apply(L"successor_signals.exe"));
    EXPECT_TRUE(Holds(files_.exe, kOldLauncher));
    EXPECT_FALSE(IsRegularFile(files_.newExe));
    EXPECT_TRUE(watched_.attempts.empty());
    EXPECT_TRUE(HoldsSingleInstance());

    bool closeRefused = false;
    watched_.beforeMove = [&](const std::wstring&, const std::wstring&, unsigned) {
        closeRefused = !PreventSelfUpdateSwap();
    };
    ASSERT_TRUE(Apply(L"successor_signals.exe")) << WideToUtf8(error_);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(Holds(files_.exe, successorBytes_));
}

// A scanner holds the running executable for a moment: the first rename fails twice with a sharing
// violation and the swap goes on.
TEST_F(SelfUpdate, HandsOverAfterARenameFailedTwiceOnAMomentaryLock) {
    UniqueHandle scanner;
    watched_.beforeMove = [&](const std::wstring& from, const std::wstring&, unsigned attempt) {
        if (from != files_.exe) return;
        if (attempt == 1) scanner = HoldOpen(files_.exe);
        if (attempt == 3) scanner.reset();
    };
    EXPECT_FALSE(SelfUpdateSwapInProgress());
    EXPECT_EQ(AnswerQueryEndSession(nullptr), TRUE);

    ASSERT_TRUE(Apply(L"successor_signals.exe")) << WideToUtf8(error_);

    EXPECT_EQ(error_, L"");
    EXPECT_EQ((watched_.attempts[files_.exe + L">" + files_.previousExe]), 3u);
    EXPECT_TRUE(Holds(files_.exe, successorBytes_)) << "the new launcher belongs at the name";
    EXPECT_TRUE(Holds(files_.previousExe, kOldLauncher)) << "the old process still runs from here";
    EXPECT_FALSE(IsRegularFile(files_.newExe));
    EXPECT_FALSE(HoldsSingleInstance()) << "the guard belongs to the successor now";
    EXPECT_TRUE(watched_.swapMarkedAtMoves);
    EXPECT_EQ(watched_.endSessionAnswers.find(L'T'), std::wstring::npos) << "a logoff must not cut the swap";
    EXPECT_FALSE(SelfUpdateSwapInProgress());
    EXPECT_EQ(AnswerQueryEndSession(nullptr), TRUE);
}

struct FailedHandOver {
    const char* name;
    const wchar_t* successor;
    unsigned long waitMs;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailedHandOver& c, std::ostream* out) { *out << c.name; }

class SelfUpdateHandOver : public SelfUpdate, public ::testing::WithParamInterface<FailedHandOver> {};

TEST_P(SelfUpdateHandOver, FailsAndPutsTheOldLauncherBack) {
    options_.handOverWaitMs = GetParam().waitMs;
    EXPECT_FALSE(Apply(GetParam().successor));
    EXPECT_EQ(error_, L"The new launcher did not start.");
    ExpectOldLauncherBack();
}

INSTANTIATE_TEST_SUITE_P(Cases, SelfUpdateHandOver,
                         ::testing::Values(FailedHandOver{"SuccessorExitsAtOnce", L"successor_exits.exe", 30000},
                                           FailedHandOver{"SuccessorNeverSignals", L"successor_silent.exe", 1000}),
                         [](const ::testing::TestParamInfo<FailedHandOver>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(SelfUpdate, MessageIsInTheInterfaceLanguage) {
    useEnglish = false;
    EXPECT_FALSE(Apply(L"successor_exits.exe"));
    EXPECT_EQ(error_, L"新版启动器未能启动。");
    ExpectOldLauncherBack();
}

// The terminated successor may still map the new file for a moment: the rollback waits it out.
TEST_F(SelfUpdate, RollbackOutlastsAMomentaryHoldOfTheNewFile) {
    UniqueHandle dying;
    watched_.beforeMove = [&](const std::wstring& from, const std::wstring&, unsigned attempt) {
        if (from != files_.previousExe) return;
        if (attempt == 1) dying = HoldOpen(files_.exe);
        if (attempt == 3) dying.reset();
    };
    EXPECT_FALSE(Apply(L"successor_exits.exe"));
    EXPECT_EQ(error_, L"The new launcher did not start.");
    EXPECT_EQ((watched_.attempts[files_.previousExe + L">" + files_.exe]), 3u);
    ExpectOldLauncherBack();
}

// When the old launcher cannot come back, the message says so and the new, whole launcher keeps the name.
TEST_F(SelfUpdate, RollbackThatCannotBeDoneIsReportedAndLeavesAWholeLauncher) {
    options_.retry = RetryPolicy{300, 50};
    UniqueHandle stuck;
    watched_.beforeMove = [&](const std::wstring& from, const std::wstring&, unsigned) {
        if (from == files_.previousExe && !stuck) stuck = HoldOpen(files_.exe);
    };
    EXPECT_FALSE(Apply(L"successor_exits.exe"));
    const std::wstring expected =
        L"The new launcher did not start. The previous launcher could not be restored, "
        L"so the new one stays in place: ";
    EXPECT_EQ(error_.substr(0, expected.size()), expected) << WideToUtf8(error_);
    EXPECT_GT(error_.size(), expected.size()) << "the system's reason follows";
    EXPECT_TRUE(Holds(files_.exe, successorBytes_)) << "the new launcher belongs at the name";
    EXPECT_TRUE(Holds(files_.previousExe, kOldLauncher));
    EXPECT_TRUE(HoldsSingleInstance());
}

// The second rename fails for good: the running executable goes back under its name in one move.
TEST_F(SelfUpdate, FailedSecondRenameRestoresTheOldLauncher) {
    options_.retry = RetryPolicy{300, 50};
    UniqueHandle stuck;
    watched_.beforeMove = [&](const std::wstring& from, const std::wstring&, unsigned) {
        if (from == files_.newExe && !stuck) stuck = HoldOpen(files_.newExe);
    };
    EXPECT_FALSE(Apply(L"successor_signals.exe"));
    EXPECT_EQ(error_, SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(Holds(files_.exe, kOldLauncher));
    EXPECT_FALSE(IsRegularFile(files_.previousExe));
    EXPECT_TRUE(HoldsSingleInstance()) << "the guard was never handed on";
}

TEST_F(SelfUpdate, FailedWriteOfTheNewFileChangesNothing) {
    const UniqueHandle blocker = [&] {
        WriteFileAtomic(files_.newExeTemp, "a scanner has this");
        return HoldOpen(files_.newExeTemp);
    }();
    EXPECT_FALSE(Apply(L"successor_signals.exe"));
    EXPECT_NE(error_.find(SystemErrorText(ERROR_SHARING_VIOLATION)), std::wstring::npos) << WideToUtf8(error_);
    EXPECT_TRUE(Holds(files_.exe, kOldLauncher));
    EXPECT_TRUE(watched_.attempts.empty()) << "no rename was tried";
    EXPECT_TRUE(HoldsSingleInstance());
}

}  // namespace
}  // namespace vk
