#include "state_cases.h"

namespace vk::test {

// One case in three lines: the state, its English texts, its Chinese texts and what it paints.
// clang-format off
const std::vector<StateCase> kStateCases = {
    {LauncherState::Checking, "checking",
     L"Checking for updates", L"Checking", L"Contacting the update server\u2026",
     L"正在检查更新", L"检查中", L"正在连接更新服务器\u2026",
     0x85858A, 0x3A3B40, {1, 2, 3, 5, 6, 4}, false, false, false},
    {LauncherState::CheckFailed, "check-failed",
     L"No version info", L"Retry", L"See the message above",
     L"无法获取版本信息", L"重试", L"详情见上方提示",
     0xF0574B, 0x9A3A22, {1, 2, 3, 5, 6, 4}, true, false, true},
    {LauncherState::NotInstalled, "not-installed",
     L"Not installed", L"Download", L"22.0 GB total",
     L"尚未安装", L"下载游戏", L"共 22.0 GB",
     0xD8A02A, 0x0E6FC5, {1, 2, 3, 5, 6, 4}, true, false, true},
    {LauncherState::UpdateAvailable, "update-available",
     L"Update available", L"Update", L"Only changed files are downloaded",
     L"有新版本", L"更新", L"只下载变化的部分",
     0xD8A02A, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true, true},
    {LauncherState::Ready, "ready",
     L"Up to date", L"Play", L"Version 1.4.0",
     L"已是最新版本", L"启动游戏", L"版本 1.4.0",
     0x3FB950, 0x0E6FC5, {1, 2, 3, 8, 5, 7, 6, 4}, true, true, true},
    {LauncherState::Updating, "updating",
     L"Downloading", L"Pause", L"40% \u00B7 4.0 GB / 10.0 GB \u00B7 8.0 MB/s \u00B7 12 min 48 s left",
     L"正在下载", L"暂停", L"40% \u00B7 4.0 GB / 10.0 GB \u00B7 8.0 MB/s \u00B7 剩余 12 分 48 秒",
     0x1A86F0, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, false, false},
    {LauncherState::Paused, "paused",
     L"Paused", L"Resume", L"Downloaded data is kept",
     L"已暂停", L"继续", L"已下载的部分会保留",
     0xD8A02A, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true, true},
    {LauncherState::UpdateFailed, "update-failed",
     L"Update failed", L"Retry", L"See the message above",
     L"更新失败", L"重试", L"详情见上方提示",
     0xF0574B, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true, true},
    {LauncherState::LauncherTooOld, "launcher-too-old",
     L"Launcher too old", L"Cannot update", L"A new launcher is needed",
     L"启动器版本过旧", L"无法更新", L"需要新版启动器",
     0xF0574B, 0x0E6FC5, {1, 2, 3, 5, 6, 4}, false, false, true},
    {LauncherState::SelfUpdating, "self-updating",
     L"Updating the launcher", L"Please wait", L"Reopens when done",
     L"正在更新启动器", L"请稍候", L"完成后自动重新打开",
     0x1A86F0, 0x0E6FC5, {2}, false, false, false},
    {LauncherState::PreparingRuntime, "preparing-runtime",
     L"Installing the runtime", L"Please wait", L"Answer Yes to the Windows prompt",
     L"正在安装运行库", L"请稍候", L"请在系统的权限提示里选\u201C是\u201D",
     0x1A86F0, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, false, false, false},
};
// clang-format on

}  // namespace vk::test
