// The game's executable path and command line built from the release.
#include <gtest/gtest.h>

#include "engine/install_decision.h"
#include "platform/game_launch.h"

namespace vk {
namespace {

TEST(GameCommandLine, QuotesTheConvertedPathAndAppendsArgumentsUnchanged) {
    struct Case {
        std::vector<std::string> arguments;
        bool offline;
        std::wstring expected;
    };
    const std::wstring exe = GameExecutablePath(L"D:\\Games\\Velkar", "Bin/Game.exe");
    EXPECT_EQ(exe, L"D:\\Games\\Velkar\\Bin\\Game.exe");
    const Case cases[] = {
        {{}, false, L"\"D:\\Games\\Velkar\\Bin\\Game.exe\""},
        {{"arg1"}, true, L"\"D:\\Games\\Velkar\\Bin\\Game.exe\" arg1 -KTOfflineOnly"},
        {{"-log", "a b", "名"}, false, L"\"D:\\Games\\Velkar\\Bin\\Game.exe\" -log a b 名"},
    };
    for (const Case& c : cases) EXPECT_EQ(GameCommandLine(exe, c.arguments, c.offline), c.expected);
}

}  // namespace
}  // namespace vk
