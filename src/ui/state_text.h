#pragma once
// The texts that follow the launcher state: the action bar's title, detail line and primary
// button, the disk line and the footer's lines.
#include <cstdint>
#include <string>

#include "ui/launcher_view.h"

namespace vk {

std::wstring StateTitle(const LauncherView& view);

// The primary button's label and glyph; whether it is enabled is the command's rule.
struct PrimaryAction {
    std::wstring label;
    wchar_t glyph = 0;
};
PrimaryAction PrimaryActionOf(const LauncherView& view);

// Bytes a fresh install downloads: the release without the full map unless it is selected.
std::uint64_t InstallDownloadSize(const LauncherView& view);

// The line under the state title.
std::wstring StatusDetail(const LauncherView& view);

// "24.6 GB · 112.4 GB free": installed size (or "not installed") and the last known free space.
std::wstring DiskLine(const LauncherView& view);

// "Connecting…", "Server online" or "Server unreachable".
std::wstring ServerText(const LauncherView& view);

// "Launcher 2.4.0  ·  Windows · x64", after "Custom update source  ·  " for a custom source.
std::wstring VersionLine(const LauncherView& view);

}  // namespace vk
