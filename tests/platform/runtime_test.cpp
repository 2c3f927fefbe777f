#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "infra/errors.h"
#include "infra/language_portable.h"
#include "platform/runtime.h"

namespace vk {
namespace {

constexpr RuntimeVersion kRequired{14, 44, 35211, 0};
constexpr RuntimeVersion kLower{14, 44, 35210, 9};
constexpr RuntimeVersion kHigher{14, 44, 35211, 1};
constexpr RuntimeVersion kNone{};

struct EvaluateCase {
    const char* name;
    RuntimeFacts facts;
    int expected;
};

const EvaluateCase kEvaluateCases[] = {
    {"AppLocalWinsWhateverTheSystemHolds", {kRequired, kRequired, kNone, kNone}, kRuntimeAppLocal},
    {"AppLocalBelowRequiredDoesNotCount", {kRequired, kLower, kNone, kNone}, kRuntimeMissing},
    {"SystemWideNeedsRegistryAndFiles", {kRequired, kNone, kRequired, kHigher}, kRuntimeSystemWide},
    {"SystemFilesBelowRequired", {kRequired, kNone, kRequired, kLower}, kRuntimeMissing},
    {"RegistryBelowRequired", {kRequired, kNone, kLower, kHigher}, kRuntimeMissing},
    {"NoSystemFiles", {kRequired, kNone, kHigher, kNone}, kRuntimeMissing},
    // Versions compare number by number, not as text: 14.100 is above 14.44.
    {"NumbersNotText", {kRequired, {14, 100, 0, 0}, kNone, kNone}, kRuntimeAppLocal},
    {"NoInstallerVersionFallsBackTo14_50", {kNone, kNone, {14, 50, 35719, 0}, {14, 50, 35718, 0}}, kRuntimeMissing},
    {"FallbackReached", {kNone, {14, 50, 35719, 0}, kNone, kNone}, kRuntimeAppLocal},
};

TEST(EvaluateRuntime, DecidesWhereTheRuntimeComesFrom) {
    for (const EvaluateCase& c : kEvaluateCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EvaluateRuntime(c.facts), c.expected);
    }
}

// A host that answers from a script and records what the decision asked for.
struct ScriptedHost {
    std::vector<RuntimeFacts> facts;  // one per GetFacts call; the last repeats
    bool intact = true;
    bool ran = true;
    std::uint32_t exitCode = 0;
    std::uint32_t error = 0;
    unsigned factCalls = 0;
    unsigned runs = 0;

    RuntimeHost Host() {
        return RuntimeHost{[this] { return facts[std::min<size_t>(factCalls++, facts.size() - 1)]; },
                           [this] { return intact; },
                           [this](std::uint32_t& code, std::uint32_t& failure) {
                               ++runs;
                               code = exitCode;
                               failure = error;
                               return ran;
                           }};
    }
};

const RuntimeFacts kMissing{kRequired, kNone, kNone, kNone};
const RuntimeFacts kFound{kRequired, kNone, kRequired, kRequired};
const RuntimeFacts kUnversioned{};  // no installer version, no runtime anywhere

struct EnsureCase {
    const char* name;
    std::vector<RuntimeFacts> facts;
    bool intact;
    bool ran;
    std::uint32_t exitCode;
    std::uint32_t error;
    RuntimeOutcome expected;
    unsigned runs;
};

const EnsureCase kEnsureCases[] = {
    {"Present", {kFound}, true, true, 0, 0, {RuntimePresent, 0, false, kRequired}, 0},
    {"NoInstallerVersion", {kUnversioned}, true, true, 0, 0, {InstallerMissing, 0, false, kFallbackRuntimeVersion}, 0},
    {"Damaged", {kMissing}, false, true, 0, 0, {InstallerMissing, 0, false, kRequired}, 0},
    // Wine runs "runas" without a prompt, so a declined prompt exists only here.
    {"PromptDeclined", {kMissing}, true, false, 0, 1223, {ConsentNeeded, 1223, false, kRequired}, 1},
    {"StartFailed", {kMissing}, true, false, 0, 2, {InstallFailed, 2, false, kRequired}, 1},
    {"UserCancelled", {kMissing}, true, true, 1602, 0, {ConsentNeeded, 1602, true, kRequired}, 1},
    {"Busy", {kMissing}, true, true, 1618, 0, {InstallerBusy, 1618, true, kRequired}, 1},
    {"Installed", {kMissing, kFound}, true, true, 0, 0, {RuntimeInstalled, 0, true, kRequired}, 1},
    {"RestartButFound", {kMissing, kFound}, true, true, 3010, 0, {RuntimeInstalled, 3010, true, kRequired}, 1},
    {"RestartNeeded", {kMissing}, true, true, 3010, 0, {RestartNeeded, 3010, true, kRequired}, 1},
    {"NewerPresentButNotFound", {kMissing}, true, true, 1638, 0, {InstallFailed, 1638, true, kRequired}, 1},
    {"OtherExitCode", {kMissing, kFound}, true, true, 5, 0, {InstallFailed, 5, true, kRequired}, 1},
};

TEST(EnsureRuntime, TurnsTheInstallerIntoAnOutcome) {
    for (const EnsureCase& c : kEnsureCases) {
        SCOPED_TRACE(c.name);
        ScriptedHost host{c.facts, c.intact, c.ran, c.exitCode, c.error};
        const RuntimeOutcome outcome = EnsureRuntime(host.Host());
        EXPECT_EQ(outcome.kind, c.expected.kind);
        EXPECT_EQ(outcome.code, c.expected.code);
        EXPECT_EQ(outcome.ran, c.expected.ran);
        EXPECT_EQ(outcome.required, c.expected.required);
        EXPECT_EQ(host.runs, c.runs);
    }
}

struct MessageCase {
    const char* name;
    RuntimeOutcome outcome;
    bool english;
    std::wstring expected;
};

const MessageCase kMessageCases[] = {
    {"PresentSaysNothing", {RuntimePresent, 0, false, kRequired}, true, L""},
    {"InstalledSaysNothing", {RuntimeInstalled, 3010, true, kRequired}, true, L""},
    {"UnknownKindSaysNothing", {7, 0, false, kRequired}, true, L""},
    {"MissingWithFallback",
     {InstallerMissing, 0, false, kFallbackRuntimeVersion},
     true,
     L"The game needs the Visual C++ runtime (14.50.35719.0), but its installer is missing or damaged. "
     L"Use the repair icon, then start again."},
    {"MissingChinese",
     {InstallerMissing, 0, false, kRequired},
     false,
     L"游戏需要 Visual C++ 运行库（14.44.35211.0），但安装包不在游戏目录里或已损坏。请点右下角的修复图标后再启动。"},
    {"Consent",
     {ConsentNeeded, 1223, false, kRequired},
     true,
     L"The game needs the Visual C++ runtime (14.44.35211.0). Press Play again and answer Yes to the "
     L"Windows prompt."},
    {"ConsentChinese",
     {ConsentNeeded, 1602, true, kRequired},
     false,
     L"游戏需要安装 Visual C++ 运行库（14.44.35211.0） 才能启动。请再点一次“启动游戏”，并在系统的权限提示里选“是”。"},
    {"Busy",
     {InstallerBusy, 1618, true, kRequired},
     true,
     L"Windows is installing something else, so the Visual C++ runtime (14.44.35211.0) cannot be "
     L"installed yet. Press Play again when it has finished."},
    {"BusyChinese",
     {InstallerBusy, 1618, true, kRequired},
     false,
     L"Windows 正在安装其他程序，暂时无法安装 Visual C++ 运行库（14.44.35211.0）。请等它完成后再点“启动游戏”。"},
    {"Restart",
     {RestartNeeded, 3010, true, kRequired},
     true,
     L"Visual C++ runtime (14.44.35211.0) is installed. Restart the computer to start the game."},
    {"RestartChinese",
     {RestartNeeded, 3010, true, kRequired},
     false,
     L"Visual C++ 运行库（14.44.35211.0） 已安装，需要重启电脑后才能启动游戏。"},
    {"FailedWithCode",
     {InstallFailed, 5, true, kRequired},
     true,
     L"Visual C++ runtime (14.44.35211.0) setup failed (code 5). Restart the computer and press Play "
     L"again."},
    {"FailedWithCodeChinese",
     {InstallFailed, 5, true, kRequired},
     false,
     L"Visual C++ 运行库（14.44.35211.0） 安装失败（代码 5）。请重启电脑后再点“启动游戏”。"},
    {"FinishedButNotFound",
     {InstallFailed, 1638, true, kRequired},
     true,
     L"Visual C++ runtime (14.44.35211.0) setup finished, but the runtime is still not found. Restart "
     L"the computer and try again."},
    {"FinishedButNotFoundChinese",
     {InstallFailed, 0, true, kRequired},
     false,
     L"Visual C++ 运行库（14.44.35211.0） 安装程序已完成，但系统里仍检测不到。请重启电脑后再试。"},
};

TEST(RuntimeMessage, TellThePlayerWhatToDo) {
    for (const MessageCase& c : kMessageCases) {
        SCOPED_TRACE(c.name);
        useEnglish = c.english;
        EXPECT_EQ(RuntimeMessage(c.outcome), c.expected);
    }
}

TEST(RuntimeMessage, StartFailureCarriesTheSystemsText) {
    const RuntimeOutcome outcome{InstallFailed, 2, false, kRequired};
    useEnglish = true;
    EXPECT_EQ(RuntimeMessage(outcome),
              L"Cannot run the Visual C++ runtime (14.44.35211.0) installer: " + SystemErrorText(2));
    useEnglish = false;
    EXPECT_EQ(RuntimeMessage(outcome), L"无法运行 Visual C++ 运行库（14.44.35211.0） 安装程序：" + SystemErrorText(2));
}

}  // namespace
}  // namespace vk
