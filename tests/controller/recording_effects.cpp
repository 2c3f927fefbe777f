#include "recording_effects.h"

#include <stdexcept>

#include "engine/install_decision.h"
#include "infra/files.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk::test {

namespace {

const char* TaskName(TaskKind kind) {
    switch (kind) {
        case TaskKind::NewsRefresh: return "task news";
        case TaskKind::ReleaseCheck: return "task check";
        case TaskKind::Update: return "task update";
        case TaskKind::SelfUpdate: return "task self-update";
        case TaskKind::LaunchVerify: return "task verify";
        case TaskKind::RuntimeInstall: return "task runtime";
    }
    return "task ?";
}

}  // namespace

void RecordingEffects::StartTask(Task task) {
    events.push_back(TaskName(task.kind));
    tasks.push_back(std::move(task));
}

void RecordingEffects::ArmTimer(TimerId id, unsigned milliseconds) {
    armedTimers[id] = milliseconds;
    events.push_back("arm " + std::to_string(static_cast<int>(id)) + " " + std::to_string(milliseconds));
}

void RecordingEffects::StopTimer(TimerId id) {
    armedTimers.erase(id);
    events.push_back("stop " + std::to_string(static_cast<int>(id)));
}

int RecordingEffects::ShowMessage(const std::wstring& text, unsigned) {
    events.push_back("message " + WideToUtf8(text));
    if (auto arriving = std::exchange(duringModal, nullptr)) arriving();
    return answer;
}

std::wstring RecordingEffects::PickFolder(const std::wstring& title) {
    events.push_back("picker " + WideToUtf8(title));
    if (auto arriving = std::exchange(duringModal, nullptr)) arriving();
    return pickedFolder;
}

unsigned long RecordingEffects::StartGame(const std::wstring&, const std::wstring& commandLine, const std::wstring&) {
    events.push_back("launch");
    launchedCommandLine = commandLine;
    return launchError;
}

bool RecordingEffects::SetBackgroundImage(const std::string& bytes) {
    events.push_back("image " + bytes);
    return imageAccepted;
}

RuntimeHost RecordingEffects::RuntimeHostFor(const RemoteRelease&, const std::wstring&, const std::wstring&) {
    events.push_back("runtime");
    return HostFinding(!runtimeStarts);
}

RuntimeHost HostFinding(bool runtimePresent) {
    RuntimeHost host;
    host.GetFacts = [runtimePresent] {
        RuntimeFacts facts;
        facts.installer = {14, 44, 35211, 0};
        if (runtimePresent) facts.appLocal = facts.installer;
        return facts;
    };
    host.VerifyInstaller = [] { return true; };
    host.RunInstaller = [](std::uint32_t&, std::uint32_t&) { return false; };
    return host;
}

std::vector<std::string> RecordingEffects::Take() { return std::exchange(events, {}); }

RemoteRelease SampleRelease(const std::string& buildId) {
    RemoteRelease release;
    release.buildId = buildId;
    release.projectVersion = "1.0." + buildId;
    release.minLauncherVersion = "2.0.0";
    release.launchPath = "Bin/Game.exe";
    release.files = {{"Bin/Game.exe", 4, std::string(64, 'a') + buildId, "", {}},
                     {"Paks/Island/island.pak", 8, std::string(64, 'b'), "island", {}}};
    release.totalSize = 12;
    return release;
}

InstalledState InstalledFrom(const RemoteRelease& release, bool withFullMap) {
    InstalledState installed;
    installed.buildId = release.buildId;
    for (const ReleaseFile& file : release.files) {
        if (file.group.empty() || withFullMap) installed.files[file.path] = {file.sha256, file.size};
    }
    return installed;
}

LauncherFixture::LauncherFixture() {
    app.settings.settingsFile = dir / L"profile\\settings.cfg";
    app.updater.baseUrl = "https://127.0.0.1:9/unreachable";
    app.updater.channel = "test";
    app.updater.installDir = dir / L"game";
    app.updater.gameUserDir = dir / L"user";
    app.updater.cacheDir = dir / L"cache";
    CreateDirectories(app.updater.installDir);
}

void LauncherFixture::BlockSettings() const { WriteTestFile(dir / L"profile", "not a folder"); }

std::string LauncherFixture::SettingsFileText() const { return ReadWholeFile(app.settings.settingsFile); }

void LauncherFixture::WriteMeta(const std::wstring& name, const std::string& text) const {
    WriteTestFile(JoinPath(updater().MetadataDir(), name), text);
}

bool LauncherFixture::MetaExists(const std::wstring& name) const {
    return IsRegularFile(JoinPath(updater().MetadataDir(), name));
}

void LauncherFixture::Install(const RemoteRelease& release, const InstalledState& installed) const {
    updater().SaveInstalledState(installed);
    WriteTestFile(GameExecutablePath(app.updater.installDir, release.launchPath), "game");
}

}  // namespace vk::test
