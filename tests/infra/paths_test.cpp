#include "infra/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace vk {
namespace {

TEST(Paths, JoinAndSplitAtTheLastBackslash) {
    EXPECT_EQ(JoinPath(L"C:\\Games", L"Velkar"), L"C:\\Games\\Velkar");
    EXPECT_EQ(JoinPath(L"C:\\Games", L"Velkar\\Content"), L"C:\\Games\\Velkar\\Content");
    struct Case {
        std::wstring path;
        std::wstring parent;
        std::wstring name;
    };
    const Case cases[] = {
        {L"C:\\Games\\Velkar\\a.pak", L"C:\\Games\\Velkar", L"a.pak"},
        {L"C:\\a.pak", L"C:", L"a.pak"},
        {L"a.pak", L"a.pak", L"a.pak"},  // no backslash: the whole path both ways
        {L"C:\\Games\\", L"C:\\Games", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParentFolder(c.path), c.parent);
        EXPECT_EQ(FileNameOf(c.path), c.name);
    }
}

TEST(Paths, ReleasePathsBecomeDiskPathsAndBack) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"Velkar.exe", L"Velkar.exe"},
        {"Velkar/Content/Paks/a b.pak", L"Velkar\\Content\\Paks\\a b.pak"},
        {"内容/é.pak", L"\u5185\u5bb9\\\u00e9.pak"},
    };
    for (const auto& [release, disk] : cases) {
        EXPECT_EQ(DiskPathOf(release), disk);
        EXPECT_EQ(ReleasePathOf(disk), release);
    }
}

TEST(Paths, LocalAppDataIsAnAbsoluteFolder) {
    const std::wstring folder = LocalAppDataFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.substr(1, 2), L":\\");
    EXPECT_EQ(FileNameOf(folder), L"Local");
}

TEST(TrimmedFolder, LosesTrailingBackslashesButADriveRootKeepsItsOwn) {
    EXPECT_EQ(TrimmedFolder(L"D:\\"), L"D:\\");
    EXPECT_EQ(TrimmedFolder(L"D:\\Games\\"), L"D:\\Games");
    EXPECT_EQ(TrimmedFolder(L"D:\\Games\\\\"), L"D:\\Games");
    EXPECT_EQ(TrimmedFolder(L"D:\\Games"), L"D:\\Games");
}

}  // namespace
}  // namespace vk
