#include <string>

#include "infra/errors.h"
#include "infra/language.h"
#include "infra/text.h"
#include "platform/runtime.h"

namespace vk {

namespace {

std::string VersionText(const RuntimeVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.build) +
           "." + std::to_string(version.revision);
}

// The runtime's display name in the interface language.
std::string RuntimeName(const RuntimeVersion& required) {
    const std::string version = VersionText(required);
    return useEnglish.load() ? "Visual C++ runtime (" + version + ")" : "Visual C++ 运行库（" + version + "）";
}

std::string FailureText(const RuntimeOutcome& outcome, const std::string& name) {
    const bool english = useEnglish.load();
    if (!outcome.ran) {
        const std::string system = WideToUtf8(SystemErrorText(outcome.code));
        return english ? "Cannot run the " + name + " installer: " + system : "无法运行 " + name + " 安装程序：" + system;
    }
    if (outcome.code == 0 || outcome.code == kInstallerNewerVersionPresent) {
        return english ? name +
                             " setup finished, but the runtime is still not found. Restart the computer and try again."
                       : name + " 安装程序已完成，但系统里仍检测不到。请重启电脑后再试。";
    }
    const std::string code = std::to_string(outcome.code);
    return english ? name + " setup failed (code " + code + "). Restart the computer and press Play again."
                   : name + " 安装失败（代码 " + code + "）。请重启电脑后再点“启动游戏”。";
}

std::string MessageText(const RuntimeOutcome& outcome) {
    const std::string name = RuntimeName(outcome.required);
    const bool english = useEnglish.load();
    switch (outcome.kind) {
        case InstallerMissing:
            return english ? "The game needs the " + name +
                                 ", but its installer is missing or damaged. Use the repair icon, then start again."
                           : "游戏需要 " + name + "，但安装包不在游戏目录里或已损坏。请点右下角的修复图标后再启动。";
        case ConsentNeeded:
            return english ? "The game needs the " + name + ". Press Play again and answer Yes to the Windows prompt."
                           : "游戏需要安装 " + name + " 才能启动。请再点一次“启动游戏”，并在系统的权限提示里选“是”。";
        case InstallerBusy:
            return english ? "Windows is installing something else, so the " + name +
                                 " cannot be installed yet. Press Play again when it has finished."
                           : "Windows 正在安装其他程序，暂时无法安装 " + name + "。请等它完成后再点“启动游戏”。";
        case RestartNeeded:
            return english ? name + " is installed. Restart the computer to start the game."
                           : name + " 已安装，需要重启电脑后才能启动游戏。";
        case InstallFailed:
            return FailureText(outcome, name);
        default:
            return {};
    }
}

}  // namespace

std::wstring RuntimeMessage(const RuntimeOutcome& outcome) { return Utf8ToWide(MessageText(outcome)); }

}  // namespace vk
