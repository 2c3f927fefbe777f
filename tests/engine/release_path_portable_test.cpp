#include "engine/release_path_portable.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "infra/language_portable.h"

namespace vk {
namespace {

class ReleasePathTest : public ::testing::Test {
protected:
    void TearDown() override { useEnglish = false; }
};

TEST_F(ReleasePathTest, AcceptsPlainRelativePaths) {
    for (const std::string path : {"Velkar/Content/Paks/a.pak", "Velkar.exe", "Velkar/SavedGames/x", "x/.vklauncher/y",
                                   "Engine/Binaries/Win64/a b.dll", "内容/é.pak"}) {
        EXPECT_NO_THROW(CheckReleasePath(path)) << path;
    }
}

// Windows opens another file than the one named: it drops a dot or blank at the end of a name, opens
// a device for a device's name, and takes a short name for the long name it stands for.
TEST_F(ReleasePathTest, RefusesNamesWindowsTakesForAnotherFile) {
    const struct {
        const char* path;
        ReleasePathFault fault;
    } cases[] = {
        {"Velkar/Saved./x", ReleasePathFault::TrailingDotOrBlank},
        {"Velkar/Saved /x", ReleasePathFault::TrailingDotOrBlank},
        {".vklauncher./installed.json", ReleasePathFault::InMetadataFolder},
        {"Velkar/a.pak.", ReleasePathFault::TrailingDotOrBlank},
        {"CON", ReleasePathFault::DeviceName},
        {"Velkar/nul.txt", ReleasePathFault::DeviceName},
        {"Velkar/Aux .log/x", ReleasePathFault::DeviceName},
        {"Velkar/COM1", ReleasePathFault::DeviceName},
        {"Velkar/lpt9.dat", ReleasePathFault::DeviceName},
        {"Velkar/COM\xC2\xB2", ReleasePathFault::DeviceName},
        {"Velkar/CONOUT$", ReleasePathFault::DeviceName},
        {"VKLAUN~1/installed.json", ReleasePathFault::ShortNameForm},
        {"vklaun~1/downloads/x", ReleasePathFault::ShortNameForm},
        {"Velkar/SAVEDD~1/x", ReleasePathFault::ShortNameForm},
        {"Velkar/VK1A2~12.pak", ReleasePathFault::ShortNameForm},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FaultOfReleasePath(c.path), c.fault) << c.path;
        EXPECT_THROW(CheckReleasePath(c.path), std::runtime_error) << c.path;
    }
    // Tildes elsewhere, and names that only begin like a device, are ordinary names.
    for (const char* path :
         {"~mods/a.pak", "Velkar/~1", "Velkar/a~1b.pak", "Velkar/LONGNAME~1.pak", "Velkar/ab~1.pack", "Velkar/a~x.pak",
          "Velkar/console.txt", "Velkar/com10.txt", "Velkar/nulls/a", "Velkar/.hidden"}) {
        EXPECT_EQ(FaultOfReleasePath(path), ReleasePathFault::None) << path;
    }
}

TEST_F(ReleasePathTest, RefusesPathsThatBreakARule) {
    for (const std::string path :
         {"", "/Velkar/a.pak", "Velkar\\a.pak", "C:a.pak", "Velkar//a.pak", "Velkar/a.pak/", "Velkar/../a.pak",
          "./a.pak", "a/.", "..", "Velkar/Saved/Config/x.ini", "Saved", "velkar/SAVED/x", ".VKLAUNCHER/installed.json",
          ".vklauncher", ".vklauncherX/a", "a:stream"}) {
        EXPECT_THROW(CheckReleasePath(path), std::runtime_error) << path;
    }
}

TEST_F(ReleasePathTest, MessageNamesThePathInTheInterfaceLanguage) {
    const std::string path = "Velkar/../a.pak";
    for (const bool english : {true, false}) {
        useEnglish = english;
        try {
            CheckReleasePath(path);
            FAIL() << "accepted " << path;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), english ? "Release list has an invalid path: " + path : "版本清单包含非法路径：" + path);
        }
    }
}

TEST_F(ReleasePathTest, SavedMustBeAWholeSegmentInAnyCase) {
    EXPECT_TRUE(IsUnderSaved("Saved"));
    EXPECT_TRUE(IsUnderSaved("a/sAvEd/b"));
    EXPECT_TRUE(IsUnderSaved("a/saved"));
    EXPECT_FALSE(IsUnderSaved("a/SavedGames/b"));
    EXPECT_FALSE(IsUnderSaved("a/unsaved/b"));
}

TEST_F(ReleasePathTest, LowerCasesOnlyAsciiLetters) {
    // É stays as its two UTF-8 bytes; only A-Z change.
    EXPECT_EQ(ToLowerAscii("Velkar/\xC3\x89" "CRAN/A-Z[]@"), "velkar/\xC3\x89" "cran/a-z[]@");
}

TEST_F(ReleasePathTest, DigestTextIsSixtyFourLowerCaseHexDigits) {
    const std::string good(64, 'a');
    EXPECT_TRUE(IsSha256Hex(good));
    EXPECT_TRUE(IsSha256Hex("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"));
    EXPECT_FALSE(IsSha256Hex(std::string(64, 'A')));
    EXPECT_FALSE(IsSha256Hex(std::string(63, 'a')));
    EXPECT_FALSE(IsSha256Hex(std::string(65, 'a')));
    EXPECT_FALSE(IsSha256Hex(std::string(63, 'a') + "g"));
    EXPECT_FALSE(IsSha256Hex(""));
}

TEST_F(ReleasePathTest, PathMapFindsEveryPathInAnyAsciiCaseAsItGrows) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5000; ++i) paths.push_back("Velkar/Content/Dir" + std::to_string(i % 37) + "/F" + std::to_string(i));
    ReleasePathMap<int> map;  // reserved for none: it grows as it fills
    for (int i = 0; i < 5000; ++i) EXPECT_TRUE(map.Insert(paths[i], i).second) << paths[i];
    for (int i = 0; i < 5000; ++i) {
        const int* found = map.Find(ToLowerAscii(paths[i]));
        ASSERT_NE(found, nullptr) << paths[i];
        EXPECT_EQ(*found, i);
    }
    // A path already there keeps its value, whatever its letter case now.
    const auto [value, added] = map.Insert("VELKAR/CONTENT/DIR1/F1", 99);
    EXPECT_FALSE(added);
    EXPECT_EQ(*value, 1);
    EXPECT_FALSE(map.Contains("Velkar/Content/Dir1/F1x"));
    EXPECT_FALSE(map.Contains("Velkar/Content/Dír1/F1"));  // letters beyond ASCII are compared as bytes
    EXPECT_FALSE(ReleasePathSet().Contains("a"));
}

}  // namespace
}  // namespace vk
