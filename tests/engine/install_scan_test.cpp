#include "engine/install_scan.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "engine/game_listing.h"
#include "engine/updater.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "support/failure.h"
#include "support/links.h"
#include "support/scoped_override.h"
#include "support/temp_dir.h"
#include "support/test_env.h"

namespace vk {
namespace {

const std::string kDigest(64, 'a');

RemoteRelease ReleaseOf(const std::vector<std::string>& paths) {
    RemoteRelease release;
    for (const std::string& path : paths) release.files.push_back({path, 1, kDigest, "", {}});
    return release;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::wstring> Listed(const std::wstring& root, bool refuseLinks) {
    std::vector<std::wstring> out;
    ListFiles(root, L"", out, refuseLinks);
    return Sorted(out);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FailureOf(const Updater& updater, const RemoteRelease& release) {
    return test::FailureOf([&] { updater.FindExtraPackages(release); });
}

class InstallScan : public ::testing::Test {
protected:
    InstallScan() {
        updater_.installDir = install_.path();
        updater_.gameUserDir = user_.path();
    }

    void Put(const std::wstring& relative) const { test::WriteTestFile(install_ / relative, "x"); }

    test::TempDir install_;
    test::TempDir user_;
    Updater updater_;
};

TEST_F(InstallScan, FindsExtraPackagesInEveryPackageRootInOrder) {
    const wchar_t* roots[] = {L"Velkar\\Content",  L"Engine\\Content", L"Velkar\\Binaries",   L"Engine\\Binaries",
                              L"Velkar\\Plugins",  L"Engine\\Plugins", L"Velkar\\Saved\\Paks"};
    std::vector<std::wstring> expected;
    std::vector<std::string> listed;
    for (const wchar_t* root : roots) {
        const std::wstring folder = std::wstring(root) + L"\\Sub";
        Put(folder + L"\\extra.pak");
        Put(folder + L"\\notes.txt");
        expected.push_back(install_ / (folder + L"\\extra.pak"));
        // A release never lists files under Saved, so every package there is extra.
        if (folder.find(L"Saved") != std::wstring::npos) continue;
        Put(folder + L"\\listed.pak");
        std::string path = WideToUtf8(folder + L"\\listed.pak");
        std::replace(path.begin(), path.end(), '\\', '/');
        listed.push_back(path);
    }
    test::WriteTestFile(user_ / L"Velkar\\Saved\\Paks\\user.pak", "x");
    expected.push_back(user_ / L"Velkar\\Saved\\Paks\\user.pak");
    // Packages outside the package roots are not the scan's business.
    Put(L"Velkar\\Other\\outside.pak");
    Put(L"top.pak");
    Put(L"Velkar\\Saved\\Config\\x.pak");

    EXPECT_EQ(updater_.FindExtraPackages(ReleaseOf(listed)), expected);
}

TEST_F(InstallScan, ExtensionsMatchInAnyLetterCase) {
    const struct {
        const wchar_t* name;
        bool package;
    } cases[] = {
        {L"mod.PAK", true},          {L"a.ucas", true},         {L"a.UTOC", true},
        {L"a.Uasset", true},         {L"a.umap", true},         {L"a.uexp", true},
        {L"a.ubulk", true},          {L"a.uptnl", true},        {L"a.dll", true},
        {L"a.SO", true},             {L"a.uplugin", true},      {L"a.cur", true},
        {L"readme.txt", false},      {L"noextension", false},   {L"mod.pakx", false},
        {L"pak", false},             {L"mod.pak.12345.vk-offline", false},
    };
    std::vector<std::wstring> expected;
    for (const auto& c : cases) {
        Put(std::wstring(L"Velkar\\Content\\Paks\\") + c.name);
        if (c.package) expected.push_back(install_ / (std::wstring(L"Velkar\\Content\\Paks\\") + c.name));
    }
    Put(L"Velkar\\Content\\dotted.dir\\file");
    EXPECT_EQ(Sorted(updater_.FindExtraPackages(ReleaseOf({}))), Sorted(expected));
}

TEST_F(InstallScan, ListedPathsMatchInAnyLetterCase) {
    Put(L"VELKAR\\content\\paks\\a.pak");
    Put(L"VELKAR\\content\\paks\\B.PAK");
    const RemoteRelease release = ReleaseOf({"Velkar/Content/Paks/a.pak", "velkar/content/paks/b.pak"});
    EXPECT_TRUE(updater_.FindExtraPackages(release).empty());
    EXPECT_EQ(updater_.FindExtraPackages(ReleaseOf({"Velkar/Content/Paks/a.pak"})),
              std::vector<std::wstring>{install_ / L"Velkar\\Content\\paks\\B.PAK"});
}

TEST_F(InstallScan, DisabledPackagesAreNotFoundAgain) {
    Put(L"Velkar\\Content\\Paks\\mod.pak");
    const auto found = updater_.FindExtraPackages(ReleaseOf({}));
    ASSERT_EQ(found.size(), 1u);
    DisableExtraPackage(found[0]);
    EXPECT_FALSE(IsRegularFile(found[0]));
    const auto remaining = Listed(install_.path(), false);
    ASSERT_EQ(remaining.size(), 1u);
    const std::regex disabled(R"(Velkar\\Content\\Paks\\mod\.pak\.\d+\.vk-offline)");
    EXPECT_TRUE(std::regex_match(WideToUtf8(remaining[0]), disabled)) << WideToUtf8(remaining[0]);
    EXPECT_TRUE(updater_.FindExtraPackages(ReleaseOf({})).empty());
}

TEST_F(InstallScan, DisableFailureNamesThePackage) {
    const std::wstring missing = install_ / L"Velkar\\Content\\Paks\\\x5730\x56FE.pak";
    const std::string name = WideToUtf8(missing);
    for (const bool english : {true, false}) {
        const test::ScopedOverride language(useEnglish, english);
        try {
            DisableExtraPackage(missing);
            FAIL() << "not thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), (english ? "Cannot disable extra package: " : "无法移出额外资源包：") + name);
        }
    }
}

TEST_F(InstallScan, ListingSkipsMetadataAtTheRootAndSavedEverywhereUnlessRefusing) {
    for (const wchar_t* file : {L"a.txt", L".vklauncher\\installed.json", L".VKLauncher2\\x", L"Saved\\s",
                                L"Velkar\\.vklauncher\\kept", L"Velkar\\SAVED\\Config\\x.ini",
                                L"Velkar\\Content\\saved\\y", L"Velkar\\SavedGames\\z"}) {
        Put(file);
    }
    EXPECT_EQ(Listed(install_.path(), false),
              (std::vector<std::wstring>{L".VKLauncher2\\x", L"Velkar\\.vklauncher\\kept", L"Velkar\\SavedGames\\z",
                                         L"a.txt"}));
    EXPECT_EQ(Listed(install_.path(), true),
              (std::vector<std::wstring>{L".VKLauncher2\\x", L".vklauncher\\installed.json", L"Saved\\s",
                                         L"Velkar\\.vklauncher\\kept", L"Velkar\\Content\\saved\\y",
                                         L"Velkar\\SAVED\\Config\\x.ini", L"Velkar\\SavedGames\\z", L"a.txt"}));
    std::vector<std::wstring> below;
    ListFiles(install_.path(), L"Velkar", below, false);
    EXPECT_EQ(Sorted(below), (std::vector<std::wstring>{L"Velkar\\.vklauncher\\kept", L"Velkar\\SavedGames\\z"}));
    std::vector<std::wstring> none;
    ListFiles(install_ / L"missing", L"", none, true);
    EXPECT_TRUE(none.empty());
}

// The game's folders as a release with files in Velkar and Engine names them.
GameListing ListGame(const std::wstring& installDir) {
    RemoteRelease release;
    release.files = {{"Velkar/Content/Paks/base.pak", 1, "", "", {}}, {"Engine/Binaries/x.dll", 1, "", "", {}}};
    return GameListing(installDir, release);
}

TEST_F(InstallScan, EmptyGameFoldersGoButTheMetadataAndSavedFoldersStay) {
    for (const wchar_t* folder : {L"Velkar\\Content\\Old\\Deeper", L"Engine\\Empty", L".vklauncher\\downloads",
                                  L"Velkar\\Saved\\Logs", L"Velkar\\Content\\SAVED\\Empty",
                                  L"Velkar\\Binaries\\.VKLAUNCHER\\Empty", L"Lone\\Inner"}) {
        CreateDirectories(install_ / folder);
    }
    Put(L"Velkar\\Content\\Paks\\base.pak");
    Put(L"Velkar\\Content\\Stale\\old.pak");
    const GameListing listing = ListGame(install_.path());
    // A file deleted after the listing empties its folder too; its parents are removed as it goes.
    ASSERT_TRUE(DeleteFileW((install_ / L"Velkar\\Content\\Stale\\old.pak").c_str()));
    RemoveEmptyParents(install_.path(), L"Velkar\\Content\\Stale\\old.pak");
    listing.RemoveEmptyFolders();
    EXPECT_TRUE(IsFolder(install_.path()));
    for (const wchar_t* gone : {L"Velkar\\Content\\Old", L"Velkar\\Content\\Stale", L"Engine"}) {
        EXPECT_FALSE(IsFolder(install_ / gone)) << gone;
    }
    // The player's own folder beside the game's is not the game's to clean.
    for (const wchar_t* kept : {L".vklauncher\\downloads", L"Velkar\\Saved\\Logs", L"Velkar\\Content\\SAVED\\Empty",
                                L"Velkar\\Binaries\\.VKLAUNCHER\\Empty", L"Lone\\Inner"}) {
        EXPECT_TRUE(IsFolder(install_ / kept)) << kept;
    }
    EXPECT_TRUE(IsRegularFile(install_ / L"Velkar\\Content\\Paks\\base.pak"));
}

// Wine reports a directory link only for a Linux symlink; an ordinary folder presented as a link
// through the hook shows that the clean-up never enters one.
TEST_F(InstallScan, EmptyFolderCleanUpNeverEntersALink) {
    CreateDirectories(install_ / L"Velkar\\Linked\\Inner");
    test::PretendLink link(install_ / L"Velkar\\Linked");
    ListGame(install_.path()).RemoveEmptyFolders();
    EXPECT_TRUE(IsFolder(install_ / L"Velkar\\Linked\\Inner"));
}

// The link fixtures are Linux symlinks to folders made by tests/support/servers; they live in the
// test environment folder so that no clean-up of the tests ever deletes through them.
std::wstring LinkFixture(const std::wstring& relative) {
    const std::wstring path = test::TestEnvDir() + L"\\scan-links\\" + relative;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        << "link fixture missing (run through ctest): " << WideToUtf8(path);
    return path;
}

TEST_F(InstallScan, LinkedPackageRootComponentsAreRefused) {
    struct Case {
        const wchar_t* link;
        bool perUser;
    };
    const Case cases[] = {{L"component\\install\\Velkar", false}, {L"user\\Velkar\\Saved", true}};
    for (const Case& c : cases) {
        const std::wstring link = LinkFixture(c.link);
        Updater updater = updater_;
        const std::wstring base = link.substr(0, link.rfind(L"\\Velkar"));
        (c.perUser ? updater.gameUserDir : updater.installDir) = base;
        for (const bool english : {true, false}) {
            const test::ScopedOverride language(useEnglish, english);
            EXPECT_EQ(FailureOf(updater, ReleaseOf({})),
                      english ? "Check linked game package directories." : "请检查游戏资源目录的链接。")
                << WideToUtf8(link);
        }
    }
}

TEST_F(InstallScan, LinksInsidePackageRootsAreRefusedByTheirRelativePath) {
    updater_.installDir = LinkFixture(L"inside\\install\\Velkar\\Content\\Paks");
    updater_.installDir.resize(updater_.installDir.rfind(L"\\Velkar"));
    for (const bool english : {true, false}) {
        const test::ScopedOverride language(useEnglish, english);
        EXPECT_EQ(FailureOf(updater_, ReleaseOf({})),
                  english ? "Remove the link from the game data folder and retry: Paks" : "请从游戏资源目录移除链接后重试：Paks");
    }
    // Listing without refusing neither reports the folder link nor enters it.
    EXPECT_EQ(Listed(updater_.installDir, false), std::vector<std::wstring>{L"Velkar\\Content\\base.pak"});
}

// Wine cannot make a file link at all (CreateSymbolicLinkW does nothing, a symlink to a file reads
// as a plain file), so the file case goes through the attribute hook.
TEST_F(InstallScan, FileLinksAreRefusedInsideRootsAndListedOtherwise) {
    Put(L"Velkar\\Content\\Paks\\mod.pak");
    test::PretendLink link(install_ / L"Velkar\\Content\\Paks\\mod.pak");
    const test::ScopedOverride language(useEnglish, true);
    EXPECT_EQ(FailureOf(updater_, ReleaseOf({})),
              "Remove the link from the game data folder and retry: Paks\\mod.pak");
    EXPECT_EQ(Listed(install_.path(), false), std::vector<std::wstring>{L"Velkar\\Content\\Paks\\mod.pak"});
}

// The whole relative folder is a component too: a package root that is itself a link is refused
// although nothing below it is one.
TEST_F(InstallScan, PackageRootThatIsALinkIsRefused) {
    Put(L"Velkar\\Content\\Paks\\mod.pak");
    test::PretendLink link(install_ / L"Velkar\\Content");
    const test::ScopedOverride language(useEnglish, true);
    EXPECT_EQ(FailureOf(updater_, ReleaseOf({})), "Check linked game package directories.");
}

}  // namespace
}  // namespace vk
