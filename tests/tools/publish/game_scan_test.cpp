#include "game_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "file_io.h"
#include "release_plan.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(GameScanTest, ListsEveryRegularFileSortedByReleasePath) {
    const TempDir game;
    WriteBytes(game / "Velkar.exe", "exe");
    WriteBytes(game / "Velkar/Content/Paks/b.pak", "bb");
    WriteBytes(game / "Engine/Binaries/a.dll", "");
    WriteBytes(game / "Velkar/Content/Paks/C.pak", "CCC");
    fs::create_directories(game / "EmptyFolder");

    const GameScan scan = ScanGameFolder(game.Path());
    EXPECT_TRUE(scan.problems.empty()) << scan.problems.front();
    std::vector<std::string> paths;
    for (const GameFile& file : scan.files) paths.push_back(file.path);
    // Byte order: upper-case letters before lower-case ones.
    EXPECT_EQ(paths, (std::vector<std::string>{"Engine/Binaries/a.dll", "Velkar.exe", "Velkar/Content/Paks/C.pak",
                                               "Velkar/Content/Paks/b.pak"}));
    EXPECT_EQ(scan.files[2].size, 3u);
    EXPECT_EQ(scan.files[2].source, game / "Velkar/Content/Paks/C.pak");
}

// On Windows the folder may be given with backslashes or slashes, with a drive letter, and its files
// may lie deeper than the 260 characters of a classic path; release paths are the same whatever.
TEST(GameScanTest, ReleasePathsDoNotDependOnHowTheFolderIsWritten) {
    const TempDir game;
    std::string deep = "Velkar/Content";
    while (deep.size() < 300) deep += "/a-folder-of-a-deep-tree";
    WriteBytes(game / (deep + "/deep.pak"), "deep");
    WriteBytes(game / "Velkar.exe", "exe");
    ASSERT_GT(fs::absolute(game / deep).native().size(), 300u);

    const std::u8string preferred = game.Path().u8string();  // with backslashes on Windows
    const std::string native(preferred.begin(), preferred.end()), generic = Utf8Of(game.Path());
    for (const std::string& root : {native, generic, generic + "/", native + "/Velkar/.."}) {
        const GameScan scan = ScanGameFolder(PathFromUtf8(root));
        EXPECT_TRUE(scan.problems.empty()) << root;
        ASSERT_EQ(scan.files.size(), 2u) << root;
        EXPECT_EQ(scan.files[0].path, "Velkar.exe") << root;
        EXPECT_EQ(scan.files[1].path, deep + "/deep.pak") << root;
        EXPECT_EQ(scan.files[1].size, 4u) << root;
    }
}

#ifndef _WIN32
// Windows cannot hold most of these names, nor make links under Wine: the Windows tool is shown such
// a folder made on Linux by the cross-platform tests.
bool HasProblem(const std::vector<std::string>& problems, const std::string& start) {
    return std::any_of(problems.begin(), problems.end(), [&](const std::string& p) { return p.starts_with(start); });
}

TEST(GameScanTest, NamesEveryFileTheLauncherWouldRefuseOrWindowsCouldNotHold) {
    const TempDir game;
    WriteBytes(game / "Velkar.exe", "exe");
    WriteBytes(game / "Velkar/Saved/Config/Engine.ini", "x");
    WriteBytes(game / "Velkar/Saved/SaveGames/slot1.sav", "x");
    WriteBytes(game / ".vklauncher/installed.json", "x");
    WriteBytes(game / "Velkar/back\\slash.txt", "x");
    WriteBytes(game / "Velkar/co:lon.txt", "x");
    WriteBytes(game / "Velkar/what?.txt", "x");
    WriteBytes(game / "Velkar/Content/Map.pak", "x");
    WriteBytes(game / "Velkar/content/map.pak", "x");
    WriteBytes(game / "Velkar/Docs", "x");
    WriteBytes(game / "Velkar/docs/readme.txt", "x");
    fs::create_symlink(game / "Velkar.exe", game / "link.exe");
    fs::create_directory_symlink(game / "Velkar", game / "LinkedFolder");

    const GameScan scan = ScanGameFolder(game.Path());
    for (const char* path : {"Velkar/Saved/Config/Engine.ini:", "Velkar/Saved/SaveGames/slot1.sav:",
                             ".vklauncher/installed.json:", "Velkar/back\\slash.txt:", "Velkar/co:lon.txt:",
                             "Velkar/what?.txt:", "Velkar/content/map.pak: differs from Velkar/Content/Map.pak",
                             "Velkar/Docs: has the name of the folder Velkar/docs", "link.exe: is a symbolic link",
                             "LinkedFolder: is a symbolic link"}) {
        EXPECT_TRUE(HasProblem(scan.problems, path)) << path;
    }
    EXPECT_EQ(scan.problems.size(), 10u);
}
#endif

class ReleasePlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(game / "Velkar.exe", "exe");
        WriteBytes(game / "Velkar/Content/Paks/base.pak", "base");
        WriteBytes(game / "Velkar/Content/Paks/Island/map.pak", "map");
        WriteBytes(game / "Velkar/Content/Paks/Island/sky.pak", "sky");
        WriteBytes(work / "banner.jpg", "jpg");
    }

    std::string RefusalOf(const ReleaseOptions& options) {
        try {
            PlanRelease(options);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        ADD_FAILURE() << "the release was accepted";
        return {};
    }

    TempDir game;
    TempDir work;
};

TEST_F(ReleasePlanTest, FirstMatchingGroupRuleDecides) {
    ReleaseOptions options = test::BasicRelease(work / "store", game.Path());
    options.groups = {{"sky", "**/sky.pak"}, {"island", "Velkar/Content/Paks/Island/*"}};
    const ReleasePlan plan = PlanRelease(options);
    ASSERT_EQ(plan.files.size(), 4u);
    EXPECT_EQ(plan.groups, (std::vector<std::string>{"", "island", "sky", ""}));
    EXPECT_EQ(plan.files[1].path, "Velkar/Content/Paks/Island/map.pak");
}

TEST_F(ReleasePlanTest, ReportsEveryProblemAtOnce) {
    WriteBytes(game / "Velkar/Saved/x.ini", "x");
    std::vector<std::string> pieces = {"Velkar/Saved/x.ini: is inside a Saved folder",
                                       "--launch Velkar/Binaries/Velkar.exe: is not a file of the game folder",
                                       "--group typo=Velkar/Contnet/**: matches no file", "--banner", "empty.jpg",
                                       "--min-launcher 2.5.0 is newer than --launcher-version 2.4.9"};
#ifndef _WIN32
    // Windows folds letter case, so there this would write Island/map.pak again; the cross-platform
    // tests show the Windows tool such a folder made on Linux.
    WriteBytes(game / "Velkar/Content/Paks/island/map.pak", "x");
    pieces.push_back("Velkar/Content/Paks/island/map.pak: differs from Velkar/Content/Paks/Island/map.pak");
#endif
    WriteBytes(work / "empty.jpg", "");
    ReleaseOptions options = test::BasicRelease(work / "store", game.Path());
    options.launchPath = "Velkar/Binaries/Velkar.exe";
    options.groups = {{"island", "**/Island/*"}, {"typo", "Velkar/Contnet/**"}};
    options.banner = work / "empty.jpg";
    options.launcherExe = work / "banner.jpg";
    options.launcherVersion = "2.4.9";
    options.minLauncher = "2.5.0";

    const std::string message = RefusalOf(options);
    for (const std::string& piece : pieces) {
        EXPECT_NE(message.find(piece), std::string::npos) << piece << "\n" << message;
    }
}

TEST_F(ReleasePlanTest, RefusesALaunchFileInAnOptionalGroup) {
    ReleaseOptions options = test::BasicRelease(work / "store", game.Path());
    options.groups = {{"island", "**/*.exe"}};
    EXPECT_NE(RefusalOf(options).find("belongs to the optional group island"), std::string::npos);
}

TEST_F(ReleasePlanTest, RefusesAStoreInsideTheGameFolder) {
    EXPECT_NE(RefusalOf(test::BasicRelease(game / "store", game.Path())).find("inside the game folder"),
              std::string::npos);
    EXPECT_NE(RefusalOf(test::BasicRelease(game.Path(), game.Path())).find("inside the game folder"),
              std::string::npos);
}

TEST_F(ReleasePlanTest, RefusesAMissingGameFolder) {
    EXPECT_NE(RefusalOf(test::BasicRelease(work / "store", work / "nothing")).find("no game folder"),
              std::string::npos);
}

}  // namespace
}  // namespace vk::publish
