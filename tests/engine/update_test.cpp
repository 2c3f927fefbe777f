#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "engine/install_scan.h"
#include "engine/update.h"
#include "engine/updater.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "support/failure.h"
#include "support/links.h"
#include "support/scoped_override.h"
#include "support/temp_dir.h"
#include "support/test_release.h"

namespace vk {
namespace {

const char kIslandPak[] = "Velkar/Content/Paks/Island/island-Windows.pak";
const char kChangedPak[] = "Velkar/Content/Paks/pakchunk1-Windows.pak";

class Update : public ::testing::Test {
protected:
    void SetUp() override { useEnglish = true; }

    Updater For(const std::string& channel) const { return test::TestUpdater(channel, install_); }

    RemoteRelease Install(const std::string& channel, bool repair = false) {
        const Updater updater = For(channel);
        const RemoteRelease release = updater.FetchRelease();
        progress_ = std::make_unique<UpdateProgress>();
        updater.Update(release, repair, *progress_, stop_);
        return release;
    }

    std::string Failure(const std::string& channel, bool repair = false) {
        return test::FailureOf([&] { Install(channel, repair); });
    }

    std::wstring Path(const std::string& releasePath) const {
        Updater updater;
        updater.installDir = install_;
        return updater.InstallPathOf({releasePath, 0, "", "", {}});
    }

    // Every wanted file of the release is on disk with the bytes of its build.
    void ExpectInstalled(const RemoteRelease& release, const std::wstring& build, bool island) const {
        Updater tree;
        tree.installDir = test::GameTree(build);
        for (const ReleaseFile& file : release.files) {
            if (!file.group.empty() && !island) {
                EXPECT_FALSE(IsRegularFile(Path(file.path))) << file.path;
                continue;
            }
            EXPECT_TRUE(IsRegularFile(Path(file.path)) &&
                        ReadWholeFile(Path(file.path)) == ReadWholeFile(tree.InstallPathOf(file)))
                << file.path;
        }
        const InstalledState state = For("v1").LoadInstalledState();
        EXPECT_EQ(state.buildId, release.buildId);
        std::set<std::string> recorded;
        for (const auto& [path, file] : state.files) recorded.insert(path);
        std::set<std::string> wanted;
        for (const ReleaseFile& file : release.files) {
            if (file.group.empty() || island) wanted.insert(file.path);
        }
        EXPECT_EQ(recorded, wanted);
        std::vector<std::wstring> store;
        ListFiles(install_ + L"\\.vklauncher\\downloads", L"", store, false);
        EXPECT_TRUE(store.empty());
    }

    test::TempDir dir_;
    const std::wstring install_ = dir_ / L"Velkar Game";
    std::atomic<bool> stop_{false};
    std::unique_ptr<UpdateProgress> progress_;
};

TEST_F(Update, FreshInstallOfTheBaseGame) {
    const RemoteRelease release = Install("v1");
    ExpectInstalled(release, L"v1", false);
    EXPECT_TRUE(IsRegularFile(Path("Velkar/Content/Empty.txt")));
    EXPECT_EQ(ReadWholeFile(Path("Velkar/Content/Shared/a.bin")), ReadWholeFile(Path("Velkar/Content/Shared/b.bin")));
    EXPECT_TRUE(For("v1").IsUpToDate(release, For("v1").LoadInstalledState()));
    EXPECT_EQ(progress_->phase.load(), UpdatePhase::Idle);
}

TEST_F(Update, NothingToDoReadsNoFileAndChangesNothing) {
    Install("v1");
    // The same record laid out differently: an update that rewrote it would be seen.
    const std::string record = ReadWholeFile(install_ + L"\\.vklauncher\\installed.json") + "\n\n";
    WriteFileAtomic(install_ + L"\\.vklauncher\\installed.json", record);
    // Every game file is held open without sharing: reading, replacing or deleting any would fail.
    std::vector<UniqueHandle> locks;
    for (const ReleaseFile& file : For("v1").FetchRelease().files) {
        if (!file.group.empty()) continue;
        locks.emplace_back(CreateFileW(Path(file.path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locks.back().valid()) << file.path;
    }
    Install("v1");
    EXPECT_EQ(progress_->bytesTotal.load(), 0u);  // nothing to fetch
    EXPECT_EQ(progress_->filesTotal.load(), 0u);  // nothing installed
    EXPECT_EQ(ReadWholeFile(install_ + L"\\.vklauncher\\installed.json"), record);
}

TEST_F(Update, ChangesAndRemovesWhatTheNewBuildChanged) {
    Install("v1");
    const RemoteRelease v2 = Install("v2");
    ExpectInstalled(v2, L"v2", false);
    EXPECT_FALSE(IsRegularFile(Path("Velkar/Content/Old/old.bin")));
    EXPECT_EQ(GetFileAttributesW(Path("Velkar/Content/Old").c_str()), INVALID_FILE_ATTRIBUTES);  // emptied folder gone
    EXPECT_EQ(progress_->filesTotal.load(), 3u);  // pakchunk1, new.bin and the readme
}

TEST_F(Update, OptionalGroupFollowsTheSelection) {
    For("v1").SelectGroup("island");
    ExpectInstalled(Install("v1"), L"v1", true);
    // Without the selection a normal update removes the group's files and their record.
    DeleteFileW((install_ + L"\\.vklauncher\\groups.json").c_str());
    ExpectInstalled(Install("v1"), L"v1", false);
}

TEST_F(Update, RepairAdoptsAGroupWhoseFilesArePresent) {
    For("v1").SelectGroup("island");
    Install("v1");
    // A file edited in place keeps its size: a normal update trusts the record and does not notice.
    std::string bytes = ReadWholeFile(Path(kChangedPak));
    bytes[100] ^= 1;
    WriteFileAtomic(Path(kChangedPak), bytes);
    Install("v1");
    const std::wstring original = test::GameTree(L"v1") + L"\\Velkar\\Content\\Paks\\pakchunk1-Windows.pak";
    EXPECT_NE(ReadWholeFile(Path(kChangedPak)), ReadWholeFile(original));
    // The repair reads every file, and keeps the group whose files it finds although it is no longer selected.
    DeleteFileW((install_ + L"\\.vklauncher\\groups.json").c_str());
    ExpectInstalled(Install("v1", true), L"v1", true);
    EXPECT_EQ(For("v1").LoadSelectedGroups(), std::set<std::string>{"island"});
}

TEST_F(Update, PlayersOwnFilesSurviveAndStrayGameFilesGo) {
    Install("v1");
    const std::pair<const char*, bool> files[] = {
        {"notes.txt", true},                           // the player's file at the root
        {"MyMods/mod/readme.md", true},                // a folder the release does not use
        {"Velkar/Saved/Config/x.ini", true},           // the game's user data
        {"Velkar/Content/notes.vk-offline", true},     // taken out of use earlier
        {"Velkar/Content/stray.bin", false},           // inside a folder of the game
        {"ENGINE/Binaries/leftover.dll", false},       // the same, in another letter case
    };
    for (const auto& [path, survives] : files) test::WriteTestFile(Path(path), "x");
    test::WriteTestFile(install_ + L"\\.vklauncher\\keep.me", "x");
    Install("v2");
    for (const auto& [path, survives] : files) EXPECT_EQ(IsRegularFile(Path(path)), survives) << path;
    EXPECT_TRUE(IsRegularFile(install_ + L"\\.vklauncher\\keep.me"));
}

TEST_F(Update, RecordedFilesOfAnOldBuildAreRemovedAnywhere) {
    Install("v1");
    // The record says the launcher wrote these; the new release no longer lists them.
    InstalledState state = For("v1").LoadInstalledState();
    state.files["Tools/old-tool.exe"] = {std::string(64, 'a'), 1};
    state.files["old-root.txt"] = {std::string(64, 'a'), 1};
    state.files["Extras/Maps/Old/map.bin"] = {std::string(64, 'a'), 1};
    For("v1").SaveInstalledState(state);
    test::WriteTestFile(Path("Tools/old-tool.exe"), "x");
    test::WriteTestFile(Path("Tools/user.txt"), "x");
    test::WriteTestFile(Path("old-root.txt"), "x");
    test::WriteTestFile(Path("Extras/Maps/Old/map.bin"), "x");
    test::WriteTestFile(Path("Extras/readme.txt"), "x");
    Install("v2");
    EXPECT_FALSE(IsRegularFile(Path("Tools/old-tool.exe")));
    EXPECT_FALSE(IsRegularFile(Path("old-root.txt")));
    EXPECT_TRUE(IsRegularFile(Path("Tools/user.txt")));
    EXPECT_EQ(For("v2").LoadInstalledState().files.count("Tools/old-tool.exe"), 0u);
    // The folders that the deleted file emptied go; the one that still holds the player's file stays.
    EXPECT_EQ(GetFileAttributesW(Path("Extras/Maps").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsRegularFile(Path("Extras/readme.txt")));
}

TEST_F(Update, ADigestThatNamesAFileOutsideTheStoreIsRefused) {
    // Seen from the download store, the list's digest names this file beside the install folder.
    const std::wstring outside = dir_ / Utf8ToWide("outside" + std::string(44, '-') + ".txt");
    test::WriteTestFile(outside, "player's file\r\n");
    EXPECT_EQ(Failure("digest-escape"), "Release file list is malformed: Velkar/Content/Stolen.txt");
    EXPECT_EQ(ReadWholeFile(outside), "player's file\r\n");
    EXPECT_EQ(GetFileAttributesW(install_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Update, EmptyReleaseKeepsUserDataAndRemovesTheGame) {
    Install("v1");
    test::WriteTestFile(Path("Velkar/Saved/SaveGames/slot1.sav"), "x");
    Install("empty");
    std::vector<std::wstring> left;
    ListFiles(install_, L"", left, false);
    EXPECT_TRUE(left.empty()) << WideToUtf8(left.empty() ? L"" : left.front());
    EXPECT_TRUE(IsRegularFile(Path("Velkar/Saved/SaveGames/slot1.sav")));
    EXPECT_TRUE(For("v1").LoadInstalledState().files.empty());
    // No empty folder of the game stays behind; the install folder itself does.
    for (const char* folder : {"Engine", "Velkar/Content", "Velkar/Binaries"}) {
        EXPECT_EQ(GetFileAttributesW(Path(folder).c_str()), INVALID_FILE_ATTRIBUTES) << folder;
    }
    EXPECT_TRUE(GetFileAttributesW(install_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Update, ExtraPackagesAreDisabledOnlyByADeepUpdate) {
    Install("v1");
    // Saved folders are never cleaned: a normal update leaves a package there alone.
    test::WriteTestFile(Path("Velkar/Saved/Paks/mod.pak"), "mod");
    Install("v1");
    EXPECT_TRUE(IsRegularFile(Path("Velkar/Saved/Paks/mod.pak")));
    // A repair takes packages out of use before the cleanup, in Saved and in the game's own folders.
    test::WriteTestFile(Path("Velkar/Content/Paks/extra.pak"), "extra");
    Install("v1", true);
    for (const char* folder : {"Velkar\\Saved\\Paks", "Velkar\\Content\\Paks"}) {
        std::vector<std::wstring> files;
        ListFiles(install_, Utf8ToWide(folder), files, true);
        int disabled = 0;
        for (const auto& path : files) {
            EXPECT_FALSE(path.ends_with(L"mod.pak") || path.ends_with(L"extra.pak")) << WideToUtf8(path);
            disabled += path.find(L".pak.") != std::wstring::npos && path.ends_with(L".vk-offline");
        }
        EXPECT_EQ(disabled, 1) << folder;
    }
}

TEST_F(Update, PackagesOfTheRecordAreDeletedByTheUpdateThatFinishesAnInterruptedOne) {
    Install("v1");
    // An update cut short: the record names the old release's files, a package among them, and no build.
    InstalledState state = For("v1").LoadInstalledState();
    state.buildId.clear();
    state.files["Velkar/Content/Paks/retired-Windows.pak"] = {std::string(64, 'a'), 1};
    For("v1").SaveInstalledState(state);
    test::WriteTestFile(Path("Velkar/Content/Paks/retired-Windows.pak"), "x");
    test::WriteTestFile(Path("Velkar/Content/Paks/mod.pak"), "the player's");
    ExpectInstalled(Install("v2"), L"v2", false);
    std::vector<std::wstring> paks;
    ListFiles(install_, L"Velkar\\Content\\Paks", paks, false);
    int kept = 0;
    for (const std::wstring& path : paks) {
        EXPECT_EQ(path.find(L"retired"), std::wstring::npos) << WideToUtf8(path);
        kept += path.find(L"mod.pak.") != std::wstring::npos && path.ends_with(L".vk-offline");
    }
    EXPECT_EQ(kept, 1);  // the player's package is kept aside
}

TEST_F(Update, FailedInstallationIsFinishedByTheNextUpdate) {
    Install("v1");
    {
        // The game holds the file that the new build changes.
        UniqueHandle game(
            CreateFileW(Path(kChangedPak).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(game.valid());
        const std::string message = Failure("v2");
        EXPECT_EQ(message.rfind(std::string("Cannot replace ") + kChangedPak + ": ", 0), 0u) << message;
        EXPECT_TRUE(message.ends_with("） (is the game still running?)")) << message;
        const InstalledState state = For("v2").LoadInstalledState();
        EXPECT_EQ(state.buildId, "");
        EXPECT_FALSE(state.files.empty());
    }
    const RemoteRelease v2 = Install("v2");
    EXPECT_GT(progress_->bytesTotal.load(), 0u);
    ExpectInstalled(v2, L"v2", false);
}

TEST_F(Update, PlanNamesWhatTheUpdateThenFetches) {
    // A fresh installation, then an update from v1 to v2 that replaces some files.
    for (const std::string channel : {"v1", "v2"}) {
        const Updater updater = For(channel);
        const RemoteRelease release = updater.FetchRelease();
        const DownloadPlan plan = updater.PlanDownload(release, updater.LoadInstalledState());
        Install(channel);
        EXPECT_GT(plan.files, 0u) << channel;
        EXPECT_EQ(plan.files, progress_->filesTotal.load()) << channel;
        EXPECT_EQ(plan.bytes, progress_->bytesTotal.load()) << channel;
        EXPECT_EQ(updater.PlanDownload(release, updater.LoadInstalledState()).files, 0u) << channel;
    }
}

// Links inside the installation. The link tests point a real (Linux) link at a folder of scratch
// victims inside the test's own folder: a faulty update deletes nothing else.
class UpdateWithLinks : public Update {
protected:
    // Scratch files that must outlive every update; the names include one the download store makes.
    void PlantVictims(const std::wstring& folder) const {
        for (const std::wstring& name : Victims()) test::WriteTestFile(JoinPath(folder, name), "victim");
    }
    void ExpectVictims(const std::wstring& folder) const {
        for (const std::wstring& name : Victims()) {
            EXPECT_EQ(ReadWholeFile(JoinPath(folder, name)), "victim") << WideToUtf8(name);
        }
    }
    static std::vector<std::wstring> Victims() {
        return {L"photo.jpg", L"album\\holiday.jpg", std::wstring(64, L'a'), std::wstring(64, L'b') + L".part"};
    }
};

// The download store is emptied after every update and whenever a repair is asked for: through a link
// that would delete whatever the link points at.
TEST_F(UpdateWithLinks, ALinkedMetadataFolderOrDownloadStoreIsRefused) {
    const struct {
        const wchar_t* link;
        const char* target;
        bool metadataLinked;
    } cases[] = {
        {L".vklauncher\\downloads", "../../victims", false},
        {L".vklauncher", "../victims", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.link));
        const test::TempDir scratch;
        const std::wstring install = scratch / L"game";
        const std::wstring victims = scratch / L"victims";
        PlantVictims(victims);
        CreateDirectories(ParentFolder(JoinPath(install, c.link)));
        const test::DirectoryLink link(JoinPath(install, c.link), c.target);
        test::WriteTestFile(JoinPath(install, L".vklauncher\\repair.request"), "");
        const Updater updater = test::TestUpdater("v1", install);
        const RemoteRelease release = updater.FetchRelease();
        UpdateProgress progress;
        EXPECT_EQ(test::FailureOf([&] { updater.Update(release, true, progress, stop_); }),
                  "Remove the link from the game data folder and retry: " + WideToUtf8(c.link));
        ExpectVictims(victims);
        EXPECT_FALSE(IsRegularFile(install + L"\\Velkar.exe")) << "the update went on";
        if (c.metadataLinked) {
            // Nothing else of the launcher's is written or deleted there either.
            EXPECT_THROW(updater.WriteInstallInfo(release, L"C:\\Velkar\\VelkarLauncher.exe"), std::runtime_error);
            updater.ClearRepairRequest();
            EXPECT_TRUE(IsRegularFile(victims + L"\\repair.request"));
            EXPECT_FALSE(IsRegularFile(victims + L"\\optional.json"));
        }
    }
}

// Only what the store makes is deleted from it; anything else that finds its way in stays.
TEST_F(UpdateWithLinks, EmptyingTheStoreDeletesOnlyTheStoresOwnFiles) {
    const std::wstring store = install_ + L"\\.vklauncher\\downloads";
    PlantVictims(store + L"\\player");
    test::WriteTestFile(store + L"\\notes.txt", "victim");
    const std::wstring leftovers[] = {std::wstring(64, L'c') + L".part", std::wstring(64, L'c') + L".seg",
                                      std::wstring(64, L'd') + L".seg.tmp", std::wstring(64, L'e')};
    for (const std::wstring& name : leftovers) test::WriteTestFile(JoinPath(store, name), "x");
    const RemoteRelease release = Install("v1");
    EXPECT_TRUE(For("v1").IsUpToDate(release, For("v1").LoadInstalledState()));
    ExpectVictims(store + L"\\player");
    EXPECT_EQ(ReadWholeFile(store + L"\\notes.txt"), "victim");
    for (const std::wstring& name : leftovers) EXPECT_FALSE(IsRegularFile(JoinPath(store, name))) << WideToUtf8(name);
}

TEST_F(UpdateWithLinks, ARecordedFileBehindALinkIsLeftAlone) {
    Install("v1");
    const std::wstring victims = dir_ / L"victims";
    PlantVictims(victims);
    // A folder of the game and a folder the release does not use, each replaced by a link; the record
    // names files behind both.
    ASSERT_TRUE(DeleteFileW(Path("Velkar/Content/Old/old.bin").c_str()));
    ASSERT_TRUE(RemoveDirectoryW(Path("Velkar/Content/Old").c_str()));
    const test::DirectoryLink oldFolder(Path("Velkar/Content/Old"), "../../../victims");
    const test::DirectoryLink extras(Path("Extras"), "../victims");
    InstalledState state = For("v1").LoadInstalledState();
    for (const char* path : {"Velkar/Content/Old/photo.jpg", "Extras/photo.jpg", "Extras/album/holiday.jpg"}) {
        state.files[path] = {std::string(64, 'a'), 6};
    }
    For("v1").SaveInstalledState(state);
    ExpectInstalled(Install("v2"), L"v2", false);
    ExpectVictims(victims);
}

// Wine cannot make a link to a file: an ordinary file is presented as one.
TEST_F(UpdateWithLinks, ARecordedFileThatIsALinkIsLeftAlone) {
    Install("v1");
    const test::PretendLink link(Path("Velkar/Content/Old/old.bin"));
    Install("v2");
    EXPECT_TRUE(IsRegularFile(Path("Velkar/Content/Old/old.bin")));
}

TEST_F(UpdateWithLinks, AFileIsNeverPlacedThroughALink) {
    const std::wstring victims = dir_ / L"victims";
    PlantVictims(victims);
    CreateDirectories(install_);
    const test::DirectoryLink link(Path("Velkar"), "../victims");
    EXPECT_EQ(Failure("v1"), "Remove the link from the game data folder and retry: Velkar");
    ExpectVictims(victims);
    std::vector<std::wstring> written;
    ListFiles(victims, L"", written, false);
    EXPECT_EQ(written.size(), Victims().size()) << "a file was placed through the link";

    // The same for a link further down, met while placing the files.
    const std::wstring second = dir_ / L"second";
    const test::PretendLink inner(second + L"\\Engine\\Binaries");
    const Updater updater = test::TestUpdater("v1", second);
    UpdateProgress progress;
    EXPECT_EQ(test::FailureOf([&] { updater.Update(updater.FetchRelease(), false, progress, stop_); }),
              "Remove the link from the game data folder and retry: Engine\\Binaries");
}

bool LittleFreeSpace(const std::wstring&, std::uint64_t& freeBytes) {
    freeBytes = kMinimumFreeSpace - 1;
    return true;
}

TEST_F(Update, TooLittleFreeSpaceFailsEvenWithNothingToDownload) {
    // The test machine has plenty of space: the query is replaced.
    Install("v1");
    const test::ScopedOverride little(queryFreeSpace, FreeSpaceQuery{LittleFreeSpace});
    EXPECT_EQ(Failure("v1"), "Not enough disk space: at least 256 MB more is needed.");
    useEnglish = false;
    EXPECT_EQ(Failure("v1"), "磁盘空间不足：还需要 256 MB 以上。");
}

}  // namespace
}  // namespace vk
