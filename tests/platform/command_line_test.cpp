// The one option of the command line: the id of the launcher that replaced itself.
#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace vk {
namespace {

TEST(CommandLine, TheSelfUpdatedIdIsTheNumberAfterTheLastOption) {
    struct Case {
        const wchar_t* line;
        unsigned long id;
    };
    const Case cases[] = {
        {L"VelkarLauncher.exe", 0},
        {L"VelkarLauncher.exe --self-updated 1234", 1234},
        {L"\"C:\\Program Files\\V\\VelkarLauncher.exe\" --self-updated 77 other", 77},
        {L"VelkarLauncher.exe --self-updated 5 --self-updated 9", 9},
        {L"VelkarLauncher.exe --self-updated \" 42abc\"", 42},
        {L"VelkarLauncher.exe --self-updated +8", 8},
        {L"VelkarLauncher.exe --self-updated word", 0},
        {L"VelkarLauncher.exe --self-updated -5", 0},
        {L"VelkarLauncher.exe --self-updated", 0},
        {L"VelkarLauncher.exe --Self-Updated 12", 0},
        {L"--self-updated 12", 0},  // the program's own name is never an option
    };
    for (const Case& c : cases) EXPECT_EQ(SelfUpdatedProcessId(c.line), c.id) << c.line;
}

}  // namespace
}  // namespace vk
