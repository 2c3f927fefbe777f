#include "ui/state_text.h"

#include <cwchar>

#include "engine/launcher_version.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "ui/progress_text.h"

namespace vk {

namespace {

constexpr wchar_t kGlyphRefresh = 0xE72C;
constexpr wchar_t kGlyphDownload = 0xE896;
constexpr wchar_t kGlyphPlay = 0xF5B0;
constexpr wchar_t kGlyphPause = 0xE769;

std::wstring Percentage(const ProgressNumbers& progress) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%.0f%%", static_cast<double>(ProgressFraction(progress)) * 100.0);
    return buffer;
}

}  // namespace

std::wstring StateTitle(const LauncherView& view) {
    switch (view.state) {
        case LauncherState::Checking: return Localized(L"Checking for updates", L"正在检查更新");
        case LauncherState::CheckFailed: return Localized(L"No version info", L"无法获取版本信息");
        case LauncherState::NotInstalled: return Localized(L"Not installed", L"尚未安装");
        case LauncherState::UpdateAvailable: return Localized(L"Update available", L"有新版本");
        case LauncherState::Ready: return Localized(L"Up to date", L"已是最新版本");
        case LauncherState::Updating:
            if (view.pauseRequested) return Localized(L"Pausing", L"正在暂停");
            return PhaseLabel(view.progress.phase);
        case LauncherState::Paused: return Localized(L"Paused", L"已暂停");
        case LauncherState::UpdateFailed: return Localized(L"Update failed", L"更新失败");
        case LauncherState::LauncherTooOld: return Localized(L"Launcher too old", L"启动器版本过旧");
        case LauncherState::SelfUpdating: return Localized(L"Updating the launcher", L"正在更新启动器");
        case LauncherState::PreparingRuntime: return Localized(L"Installing the runtime", L"正在安装运行库");
    }
    return {};
}

PrimaryAction PrimaryActionOf(const LauncherView& view) {
    switch (view.state) {
        case LauncherState::Checking: return {Localized(L"Checking", L"检查中"), kGlyphRefresh};
        case LauncherState::CheckFailed: return {Localized(L"Retry", L"重试"), kGlyphRefresh};
        case LauncherState::NotInstalled: return {Localized(L"Download", L"下载游戏"), kGlyphDownload};
        case LauncherState::UpdateAvailable: return {Localized(L"Update", L"更新"), kGlyphDownload};
        case LauncherState::Ready: return {Localized(L"Play", L"启动游戏"), kGlyphPlay};
        case LauncherState::Updating:
            if (view.pauseRequested) return {Localized(L"Pausing", L"正在暂停"), kGlyphPause};
            return {Localized(L"Pause", L"暂停"), kGlyphPause};
        case LauncherState::Paused: return {Localized(L"Resume", L"继续"), kGlyphPlay};
        case LauncherState::UpdateFailed: return {Localized(L"Retry", L"重试"), kGlyphRefresh};
        case LauncherState::LauncherTooOld: return {Localized(L"Cannot update", L"无法更新"), kGlyphRefresh};
        case LauncherState::SelfUpdating:
        case LauncherState::PreparingRuntime: return {Localized(L"Please wait", L"请稍候"), kGlyphRefresh};
    }
    return {};
}

std::uint64_t InstallDownloadSize(const LauncherView& view) {
    const std::uint64_t fullMap = view.releaseKnown && !view.fullMapSelected ? view.fullMapSize : 0;
    return view.releaseTotalSize - fullMap;
}

std::wstring StatusDetail(const LauncherView& view) {
    switch (view.state) {
        case LauncherState::Checking:
            return Localized(L"Contacting the update server\u2026", L"正在连接更新服务器\u2026");
        case LauncherState::CheckFailed:
        case LauncherState::UpdateFailed: return Localized(L"See the message above", L"详情见上方提示");
        case LauncherState::NotInstalled: {
            const std::wstring size = FormatSize(InstallDownloadSize(view));
            return useEnglish ? size + L" total" : L"共 " + size;
        }
        case LauncherState::UpdateAvailable:
            return Localized(L"Only changed files are downloaded", L"只下载变化的部分");
        case LauncherState::Ready: return Localized(L"Version ", L"版本 ") + view.releaseVersion;
        case LauncherState::Updating: {
            const std::wstring detail = ProgressDetail(view.progress, view.bytesPerSecond);
            return detail.empty() ? Percentage(view.progress) : Percentage(view.progress) + L" \u00B7 " + detail;
        }
        case LauncherState::Paused: return Localized(L"Downloaded data is kept", L"已下载的部分会保留");
        case LauncherState::LauncherTooOld: return Localized(L"A new launcher is needed", L"需要新版启动器");
        case LauncherState::SelfUpdating: return Localized(L"Reopens when done", L"完成后自动重新打开");
        case LauncherState::PreparingRuntime:
            return Localized(L"Answer Yes to the Windows prompt", L"请在系统的权限提示里选\u201C是\u201D");
    }
    return {};
}

std::wstring DiskLine(const LauncherView& view) {
    std::wstring text =
        view.installedBytes > 0 ? FormatSize(view.installedBytes) : Localized(L"not installed", L"未安装");
    if (view.diskFreeBytes > 0) {
        const std::wstring free = FormatSize(view.diskFreeBytes);
        text += useEnglish ? L" \u00B7 " + free + L" free" : L" \u00B7 可用 " + free;
    }
    return text;
}

std::wstring ServerText(const LauncherView& view) {
    if (view.serverOnline) return Localized(L"Server online", L"服务器在线");
    if (view.state == LauncherState::Checking) return Localized(L"Connecting\u2026", L"正在连接服务器\u2026");
    return Localized(L"Server unreachable", L"无法连接服务器");
}

std::wstring VersionLine(const LauncherView& view) {
    std::wstring text =
        view.customSource ? Localized(L"Custom update source  \u00B7  ", L"自定义更新源  \u00B7  ") : L"";
    return text + Localized(L"Launcher ", L"启动器 ") + Utf8ToWide(LauncherVersion) + L"  \u00B7  Windows \u00B7 x64";
}

}  // namespace vk
