// Choosing the install folder and adding the full map. The folder decisions run on real folders.
#include <windows.h>

#include <gtest/gtest.h>

#include "controller/commands.h"
#include "controller/handlers.h"
#include "controller/install_folder.h"
#include "controller/tasks.h"
#include "engine/install_layout.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "recording_effects.h"
#include "support/temp_dir.h"
#include "ui/commands.h"

namespace vk {
namespace {

using test::LauncherFixture;
using test::SampleRelease;
using test::TempDir;
using test::WriteTestFile;
using Events = std::vector<std::string>;

TEST(InstallFolder, ThePickedPathLosesTrailingBackslashesButADriveRootKeepsItsOwn) {
    LauncherFixture f;
    f.app.machine.state = LauncherState::CheckFailed;
    const std::wstring picked = f.dir / L"picked";
    f.effects.pickedFolder = picked + L"\\\\";
    RunCommand(f.app, f.effects, CmdInstallFolder);
    EXPECT_EQ(f.app.updater.installDir, picked);
    EXPECT_EQ(JoinPath(L"D:\\", kGameFolderName), L"D:\\Velkar");
}

TEST(InstallFolder, ThePlayersFilesAreNeverTakenForTheGame) {
    struct Case {
        const char* label;
        std::vector<std::wstring> files;  // inside the picked folder
        const wchar_t* installInto;       // relative to it; null: refused
    };
    const std::wstring installedJson = std::wstring(kMetadataFolderName) + L"\\" + kInstalledStateFile;
    const Case cases[] = {
        {"empty", {}, L""},
        {"an installation", {installedJson, L"Bin\\Game.exe"}, L""},
        {"an interrupted first install", {std::wstring(kMetadataFolderName) + L"\\downloads\\part"}, L""},
        {"foreign files", {L"Engine\\x.txt", L"notes.txt"}, L"Velkar"},
        {"foreign files beside an installation in Velkar",
         {L"Engine\\x.txt", L"Velkar\\" + installedJson},
         L"Velkar"},
        {"foreign files also in Velkar",
         {L"Velkar\\notes.txt", L"Velkar\\Content\\Paks\\~mods\\m.pak", L"Engine\\x.txt"},
         nullptr},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::wstring& file : c.files) WriteTestFile(dir / file, "x");
        const std::wstring expected =
            c.installInto == nullptr ? L"" : (*c.installInto ? dir / c.installInto : dir.path());
        EXPECT_EQ(InstallFolderFor(dir.path()), expected) << c.label;
    }
    TempDir dir;
    EXPECT_EQ(InstallFolderFor(dir / L"not yet made"), dir / L"not yet made");
}

// A launcher that knows release b2, its install folder holding nothing.
void Known(LauncherFixture& f) {
    useEnglish = true;
    f.app.release = SampleRelease("b2");
    f.app.releaseKnown = true;
    RefreshInstallState(f.app, f.effects);
    ASSERT_EQ(f.app.machine.state, LauncherState::NotInstalled);
    f.effects.Take();
}

TEST(InstallFolder, CancellingChangesAndWritesNothing) {
    LauncherFixture f;
    Known(f);
    const std::wstring before = f.app.updater.installDir;
    RunCommand(f.app, f.effects, CmdInstallFolder);
    EXPECT_EQ(f.effects.Take(), Events{"picker Choose the game folder"});
    EXPECT_EQ(f.app.updater.installDir, before);
    EXPECT_FALSE(f.app.settings.installDirChosen);
}

TEST(InstallFolder, TheFolderFoundDecidesTheStateAndIsSaved) {
    struct Case {
        const char* label;
        bool complete;  // the picked folder holds the release
        bool foreign;   // the picked folder holds other files
        LauncherState state;
    };
    const Case cases[] = {
        {"empty", false, false, LauncherState::NotInstalled},
        {"complete", true, false, LauncherState::Ready},
        {"foreign", false, true, LauncherState::NotInstalled},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        Known(f);
        const std::wstring picked = f.dir / L"picked";
        CreateDirectories(picked);
        if (c.foreign) WriteTestFile(picked + L"\\Engine\\x.txt", "mine");
        if (c.complete) {
            LauncherFixture there;
            there.app.updater.installDir = picked;
            there.Install(f.app.release, test::InstalledFrom(f.app.release, false));
        }
        f.effects.pickedFolder = picked + L"\\";
        RunCommand(f.app, f.effects, CmdInstallFolder);
        EXPECT_EQ(f.effects.Take(), (Events{"picker Choose the game folder"})) << c.label;
        EXPECT_EQ(f.app.updater.installDir, c.foreign ? picked + L"\\Velkar" : picked) << c.label;
        EXPECT_EQ(f.SettingsFileText().rfind("InstallDir=" + WideToUtf8(f.app.updater.installDir) + "\nLanguage=", 0),
                  0u)
            << c.label;
        EXPECT_TRUE(f.app.settings.installDirChosen) << c.label;
        EXPECT_EQ(f.app.machine.state, c.state) << c.label;
        EXPECT_TRUE(IsRegularFile(picked + L"\\Engine\\x.txt") || !c.foreign) << c.label;
    }
}

TEST(InstallFolder, AFolderWhoseVelkarFolderIsAlsoForeignIsRefusedAndItsFilesStay) {
    LauncherFixture f;
    Known(f);
    const std::wstring picked = f.dir / L"picked";
    const std::wstring files[] = {L"Velkar\\notes.txt", L"Velkar\\Content\\Paks\\~mods\\m.pak", L"Engine\\x.txt"};
    for (const std::wstring& file : files) WriteTestFile(JoinPath(picked, file), "mine");
    const std::wstring before = f.app.updater.installDir;
    f.effects.pickedFolder = picked;
    RunCommand(f.app, f.effects, CmdInstallFolder);
    const Events events = f.effects.Take();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].rfind("message This folder and its Velkar folder hold other files.", 0), 0u) << events[1];
    EXPECT_EQ(f.app.updater.installDir, before);
    // The update that follows runs in the folder the launcher had.
    RunCommand(f.app, f.effects, CmdPrimary);
    EXPECT_EQ(f.effects.Take(), (Events{"arm 1 250", "task update"}));
    for (const std::wstring& file : files) EXPECT_TRUE(IsRegularFile(JoinPath(picked, file))) << WideToUtf8(file);
}

TEST(InstallFolder, BeforeTheFirstCheckTheFolderOnlyRepaintsAndASettingsFailureIsIgnored) {
    LauncherFixture f;
    f.app.machine.state = LauncherState::CheckFailed;
    f.BlockSettings();
    f.effects.pickedFolder = f.dir / L"picked";
    RunCommand(f.app, f.effects, CmdInstallFolder);
    EXPECT_EQ(f.app.updater.installDir, f.dir / L"picked");
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_GT(f.effects.repaints, 0);
}

// The picker runs a message loop: a request can start an update before the player picks.
TEST(InstallFolder, AFolderPickedWhileAnUpdateStartedIsDropped) {
    LauncherFixture f;
    Known(f);
    f.app.machine.requestPending = true;
    f.effects.pickedFolder = f.dir / L"picked";
    f.effects.duringModal = [&f] { StartUpdate(f.app, f.effects, false); };
    const std::wstring before = f.app.updater.installDir;
    RunCommand(f.app, f.effects, CmdInstallFolder);
    EXPECT_EQ(f.effects.Take(), (Events{"picker Choose the game folder", "arm 1 250", "task update"}));
    EXPECT_EQ(f.app.updater.installDir, before);
    EXPECT_EQ(f.app.machine.state, LauncherState::Updating);
}

TEST(FullMap, SelectingItStartsTheUpdateThatFetchesIt) {
    LauncherFixture f;
    Known(f);
    f.app.installed = test::InstalledFrom(f.app.release, false);
    f.Install(f.app.release, f.app.installed);
    RefreshInstallState(f.app, f.effects);
    ASSERT_EQ(f.app.machine.state, LauncherState::Ready);
    f.effects.Take();
    RunCommand(f.app, f.effects, CmdFullMap);
    EXPECT_TRUE(f.app.fullMapSelected);
    EXPECT_EQ(f.effects.Take(), (Events{"arm 1 250", "task update"}));
    EXPECT_FALSE(f.app.machine.repairMode);
}

TEST(FullMap, AGroupFileThatCannotBeWrittenIsShownAndChangesNothing) {
    LauncherFixture f;
    Known(f);
    // A folder where groups.json should be: the write fails.
    CreateDirectories(JoinPath(f.updater().MetadataDir(), std::wstring(kGroupsFile) + L".tmp"));
    CreateDirectories(JoinPath(f.updater().MetadataDir(), kGroupsFile));
    RunCommand(f.app, f.effects, CmdFullMap);
    const Events events = f.effects.Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].rfind("message ", 0), 0u);
    EXPECT_EQ(f.app.machine.state, LauncherState::NotInstalled);
    EXPECT_FALSE(f.app.fullMapSelected);
}

}  // namespace
}  // namespace vk
