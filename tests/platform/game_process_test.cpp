#include "platform/game_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

TEST(IsGameRunning, FindsTheGameByItsExecutableNameInAnyLetterCase) {
    EXPECT_FALSE(IsGameRunning());
    // Any program started under the game's name counts; this one waits for input that never comes.
    test::TempDir dir;
    const std::wstring game = dir / L"VELKAR.EXE";
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\ping.exe").c_str(), game.c_str(), FALSE));
    {
        test::BackgroundProcess running(L"\"" + game + L"\" -n 30 127.0.0.1", dir / L"out.txt");
        bool seen = false;
        for (int i = 0; i < 40 && !seen; ++i) {
            seen = IsGameRunning();
            if (!seen) Sleep(50);
        }
        EXPECT_TRUE(seen);
    }
    EXPECT_FALSE(IsGameRunning());
}

}  // namespace
}  // namespace vk
