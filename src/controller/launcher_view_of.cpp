#include "controller/launcher_view_of.h"

#include "engine/release_sizes.h"
#include "infra/text.h"
#include "ui/commands.h"

namespace vk {

namespace {

NewsEntry EntryOf(const NewsItem& item) {
    return {Utf8ToWide(item.date), Utf8ToWide(item.titleEn), Utf8ToWide(item.titleZh), Utf8ToWide(item.bodyEn),
            Utf8ToWide(item.bodyZh)};
}

}  // namespace

LauncherView ViewOf(const AppState& app, std::uint64_t diskFreeBytes) {
    LauncherView view;
    view.state = app.machine.state;
    view.statusText = app.machine.statusText;
    view.pauseRequested = app.machine.pauseRequested;
    for (int command = 0; command < kCommandLimit; ++command) view.enabled[command] = MayRun(app, command);
    view.progress = ProgressNumbers(app.progress);
    view.bytesPerSecond = app.speed.bytesPerSecond();
    view.releaseKnown = app.releaseKnown;
    view.releaseVersion = Utf8ToWide(app.release.projectVersion);
    view.releaseTotalSize = app.release.totalSize;
    view.fullMapSize = OptionalGroupSize(app.release, kFullMapGroup);
    view.fullMapSelected = app.fullMapSelected;
    view.installed = HasInstallation(app.installed);
    view.installedBytes = InstalledBytes(app.installed);
    view.installDir = app.updater.installDir;
    view.diskFreeBytes = diskFreeBytes;
    view.serverOnline = app.serverOnline;
    view.customSource = app.settings.customSource;
    view.selfUpdateError = app.selfUpdateError;
    view.runtimeNote = app.runtimeNote;
    view.requestNote = app.requestNote;
    view.newLauncherVersion = Utf8ToWide(app.release.launcher.launcherVersion);
    view.newLauncherSize = app.release.launcher.launcherSize;
    view.selfUpdateBytes = app.selfUpdateBytes.load();
    view.news.reserve(app.news.size());
    for (const NewsItem& item : app.news) view.news.push_back(EntryOf(item));
    view.newsLoaded = app.newsLoaded;
    return view;
}

}  // namespace vk
