#include <string>

#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/runtime.h"

namespace vk {

namespace {

std::string VersionText(const RuntimeVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.build) +
           "." + std::to_string(version.revision);
}

// The runtime's display name in each language.
struct RuntimeName {
    std::string english;
    std::string chinese;
};

RuntimeName NameOf(const RuntimeVersion& required) {
    const std::string version = VersionText(required);
    return {"Visual C++ runtime (" + version + ")", "Visual C++ 运行库（" + version + "）"};
}

std::string FailureText(const RuntimeOutcome& outcome, const RuntimeName& n) {
    if (!outcome.ran) {
        const std::string system = WideToUtf8(SystemErrorText(outcome.code));
        return Localized("Cannot run the " + n.english + " installer: " + system,
                         "无法运行 " + n.chinese + " 安装程序：" + system);
    }
    if (outcome.code == 0 || outcome.code == kInstallerNewerVersionPresent) {
        return Localized(
            n.english + " setup finished, but the runtime is still not found. Restart the computer and try again.",
            n.chinese + " 安装程序已完成，但系统里仍检测不到。请重启电脑后再试。");
    }
    const std::string code = std::to_string(outcome.code);
    return Localized(n.english + " setup failed (code " + code + "). Restart the computer and press Play again.",
                     n.chinese + " 安装失败（代码 " + code + "）。请重启电脑后再点“启动游戏”。");
}

std::string MessageText(const RuntimeOutcome& outcome) {
    const RuntimeName n = NameOf(outcome.required);
    switch (outcome.kind) {
        case InstallerMissing:
            return Localized(
                "The game needs the " + n.english +
                    ", but its installer is missing or damaged. Use the repair icon, then start again.",
                "游戏需要 " + n.chinese + "，但安装包不在游戏目录里或已损坏。请点右下角的修复图标后再启动。");
        case ConsentNeeded:
            return Localized(
                "The game needs the " + n.english + ". Press Play again and answer Yes to the Windows prompt.",
                "游戏需要安装 " + n.chinese + " 才能启动。请再点一次“启动游戏”，并在系统的权限提示里选“是”。");
        case InstallerBusy:
            return Localized("Windows is installing something else, so the " + n.english +
                                 " cannot be installed yet. Press Play again when it has finished.",
                             "Windows 正在安装其他程序，暂时无法安装 " + n.chinese + "。请等它完成后再点“启动游戏”。");
        case RestartNeeded:
            return Localized(n.english + " is installed. Restart the computer to start the game.",
                             n.chinese + " 已安装，需要重启电脑后才能启动游戏。");
        case InstallFailed: return FailureText(outcome, n);
        default: return {};
    }
}

}  // namespace

std::wstring RuntimeMessage(const RuntimeOutcome& outcome) { return Utf8ToWide(MessageText(outcome)); }

}  // namespace vk
