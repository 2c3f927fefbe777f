#include "engine/game_listing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "engine/file_check.h"
#include "infra/files.h"
#include "infra/paths.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

class GameListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteTestFile(dir_ / L"Velkar.exe", "exe");
        test::WriteTestFile(dir_ / L"Velkar/Content/Paks/a.pak", "12345");
        test::WriteTestFile(dir_ / L"Velkar/Content/b.pak", "123");
        test::WriteTestFile(dir_ / L"Velkar/Content/Äpfel.pak", "1234");
        test::WriteTestFile(dir_ / L"Velkar/Saved/Paks/c.pak", "12");
        CreateDirectories(dir_ / L"Velkar\\Content\\folder.pak");
    }

    test::TempDir dir_;
};

TEST_F(GameListingTest, AnswersAsTheQueryOfEachFileDoes) {
    const std::vector<ReleaseFile> files = {
        {"Velkar.exe", 3, "", "", {}},
        {"Velkar.exe", 4, "", "", {}},  // another size
        {"Velkar/Content/Paks/a.pak", 5, "", "", {}},
        {"velkar/content/paks/A.PAK", 5, "", "", {}},  // ASCII letter case differs
        {"Velkar/Content/b.pak", 3, "", "", {}},
        {"Velkar/Content/äpfel.pak", 4, "", "", {}},   // letter case differs beyond ASCII
        {"Velkar/Saved/Paks/c.pak", 2, "", "", {}},    // never listed
        {"Velkar/Content/folder.pak", 0, "", "", {}},  // a folder
        {"Velkar/Content/missing.pak", 0, "", "", {}},
        {"Engine/Binaries/x.dll", 1, "", "", {}},  // a top folder that is not there
    };
    RemoteRelease release;
    release.files = files;
    const GameListing listing(dir_.path(), release);
    for (const ReleaseFile& file : files) {
        EXPECT_EQ(listing.IsPresentWithSize(file),
                  IsPresentWithSize(JoinPath(dir_.path(), DiskPathOf(file.path)), file))
            << file.path << " of " << file.size << " bytes";
    }
    EXPECT_TRUE(listing.Shows("VELKAR/CONTENT/PAKS/A.PAK"));
    EXPECT_FALSE(listing.Shows("Velkar/Saved/Paks/c.pak"));
}

}  // namespace
}  // namespace vk
