#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "engine/updater.h"
#include "engine/verify.h"
#include "infra/errors.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/sha256.h"
#include "support/temp_dir.h"
#include "support/test_release.h"

namespace vk {
namespace {

const char kPak0[] = "Velkar/Content/Paks/pakchunk0-Windows.pak";
const char kIsland[] = "Velkar/Content/Paks/Island/island-Windows.pak";
const char kIslandToc[] = "Velkar/Content/Paks/Island/island-Windows.utoc";

// The v1 build installed with the island group for each test.
class Verify : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        updater_ = test::TestUpdater("v1", dir_.path());
        updater_.SelectGroup("island");
        release_ = updater_.FetchRelease();
        UpdateProgress progress;
        updater_.Update(release_, false, progress, stop_);
    }

    std::wstring Path(const std::string& releasePath) const {
        return updater_.InstallPathOf({releasePath, 0, "", "", {}});
    }

    std::string Check(const RemoteRelease& release) {
        progress_ = std::make_unique<UpdateProgress>();
        return updater_.VerifyForLaunch(release, *progress_, stop_);
    }

    void ChangeOneByte(const std::string& releasePath) {
        std::string bytes = ReadWholeFile(Path(releasePath));
        bytes[bytes.size() / 2] ^= 0x20;
        WriteFileAtomic(Path(releasePath), bytes);
    }

    test::TempDir dir_;
    RemoteRelease release_;
    Updater updater_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<UpdateProgress> progress_;
};

TEST_F(Verify, CorrectInstallationPassesWithFullProgress) {
    EXPECT_EQ(Check(release_), "");
    EXPECT_EQ(progress_->bytesDone.load(), progress_->bytesTotal.load());
    EXPECT_EQ(progress_->filesDone.load(), progress_->filesTotal.load());
    EXPECT_EQ(progress_->filesTotal.load(), 13u);  // every file but the root readme
    EXPECT_EQ(progress_->phase.load(), UpdatePhase::Idle);  // the phase is the caller's
}

TEST_F(Verify, FirstBadFileInListOrder) {
    ChangeOneByte("readme.txt");  // not checked before launch
    EXPECT_EQ(Check(release_), "");
    // Several bad files: the answer is the one a walk in list order meets first, however the work is shared.
    ChangeOneByte("Velkar/Content/Shared/b.bin");
    ChangeOneByte(kPak0);
    DeleteFileW(Path("Velkar.exe").c_str());
    for (int run = 0; run < 5; ++run) EXPECT_EQ(Check(release_), "Velkar.exe");
    test::WriteTestFile(Path("Velkar.exe"), "too short");
    EXPECT_EQ(Check(release_), "Velkar.exe");
    test::WriteTestFile(Path("Velkar.exe"), ReadWholeFile(test::GameTree(L"v1") + L"\\Velkar.exe"));
    EXPECT_EQ(Check(release_), kPak0);
}

TEST_F(Verify, GroupsOnDiskAreCheckedEvenWhenNotSelected) {
    DeleteFileW((dir_ / L".vklauncher\\groups.json").c_str());
    DeleteFileW(Path(kIslandToc).c_str());
    EXPECT_EQ(Check(release_), kIslandToc);  // the group has a file on disk, so all of it counts
    DeleteFileW(Path(kIsland).c_str());
    EXPECT_EQ(Check(release_), "");
    EXPECT_FALSE(IsRegularFile(dir_ / L".vklauncher\\groups.json"));  // nothing is written
}

TEST_F(Verify, ExtraPackageIsReportedByNameAfterTheFiles) {
    test::WriteTestFile(Path("Velkar/Content/Paks/mod.pak"), "mod");
    EXPECT_EQ(Check(release_), "mod.pak");
    ChangeOneByte(kPak0);
    EXPECT_EQ(Check(release_), kPak0);
}

TEST_F(Verify, CoveredPathsAreCaseSensitivePrefixes) {
    const std::pair<const char*, bool> cases[] = {
        {"Engine/Binaries/a.dll", true}, {"Velkar/Content/a.pak", true}, {"Velkar.exe", true},
        {"OnlineFiles.json", true},      {"OnlineFiles.sig", true},      {"engine/Binaries/a.dll", false},
        {"VELKAR/a.pak", false},         {"readme.txt", false},          {"Velkar.exe.bak", false},
        {"Tools/Velkar/a.dll", false},
    };
    for (const auto& [path, covered] : cases) EXPECT_EQ(IsLaunchChecked(path), covered) << path;
    RemoteRelease release = release_;
    release.files.push_back({"engine/missing.dll", 1, std::string(64, '0'), "", {}});
    EXPECT_EQ(Check(release), "");
}

TEST_F(Verify, StopAndUnreadableFiles) {
    stop_ = true;
    EXPECT_THROW(Check(release_), Cancelled);
    // With no file to check before launch, the stop still ends the check before the package scan.
    RemoteRelease uncovered = release_;
    std::erase_if(uncovered.files, [](const ReleaseFile& file) { return IsLaunchChecked(file.path); });
    test::WriteTestFile(Path("Velkar/Content/Paks/mod.pak"), "mod");
    EXPECT_THROW(Check(uncovered), Cancelled);
    DeleteFileW(Path("Velkar/Content/Paks/mod.pak").c_str());
    stop_ = false;
    // A covered file that exists but cannot be read fails the check with the read message.
    HANDLE writer = CreateFileW(Path(kPak0).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    try {
        Check(release_);
        ADD_FAILURE() << "no failure";
    } catch (const Cancelled&) {
        ADD_FAILURE() << "cancelled";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("无法读取 ", 0), 0u) << e.what();
    }
    CloseHandle(writer);
}

}  // namespace
}  // namespace vk
