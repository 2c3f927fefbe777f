#include "startup/configuration.h"

#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "startup/ini.h"
#include "startup/program.h"

namespace vk {

namespace {

std::string WithoutTrailingSlashes(std::string url) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::wstring WithoutTrailingBackslashes(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

}  // namespace

std::wstring UserDataDirectory() {
    const std::wstring base = LocalAppDataFolder();
    return JoinPath(base.empty() ? L"." : base, L"VelkarLauncher");
}

std::wstring SettingsFilePath() { return JoinPath(UserDataDirectory(), L"settings.cfg"); }

Configuration ConfigurationFrom(const ConfigurationSources& sources) {
    Configuration config;
    config.updateBaseUrl = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateBaseUrl");
    config.updateChannel = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateChannel");
    config.publicKeyPem = sources.publicKeyPem;
    config.cacheDir = JoinPath(sources.userDataDirectory, L"cache");

    const std::string baseUrl = ReadIniValue(sources.launcherCfg, "", "BaseUrl");
    const std::string channel = ReadIniValue(sources.launcherCfg, "", "Channel");
    if (!baseUrl.empty()) config.updateBaseUrl = baseUrl;
    if (!channel.empty()) config.updateChannel = channel;
    config.updateBaseUrl = WithoutTrailingSlashes(config.updateBaseUrl);

    // A custom source keeps its own cache so it never reads or overwrites the official one.
    config.customSource = !baseUrl.empty() || !channel.empty();
    if (config.customSource) config.cacheDir += L"-custom";
    config.selfUpdateEnabled = ReadIniValue(sources.launcherCfg, "", "SelfUpdate") != "0";

    const std::string installDir = ReadIniValue(sources.settings, "", "InstallDir");
    config.installDirChosen = !installDir.empty();
    config.installDir =
        config.installDirChosen ? Utf8ToWide(installDir) : JoinPath(sources.executableDirectory, L"Velkar");

    const std::string language = ReadIniValue(sources.settings, "", "Language");
    const bool english = language.empty() ? (sources.userUiLanguage & 0x3FF) != LANG_CHINESE : language == "en";
    useEnglish.exchange(english);
    return config;
}

Configuration LoadConfiguration() {
    ConfigurationSources sources;
    sources.embeddedIni = LoadRcData(202);
    sources.publicKeyPem = LoadRcData(201);
    sources.executableDirectory = ExecutableDirectory();
    sources.launcherCfg = ReadWholeFile(JoinPath(sources.executableDirectory, L"launcher.cfg"));
    sources.userDataDirectory = UserDataDirectory();
    sources.settings = ReadWholeFile(SettingsFilePath());
    sources.userUiLanguage = GetUserDefaultUILanguage();
    return ConfigurationFrom(sources);
}

bool HasUpdateSource(const Configuration& config) {
    return !config.updateBaseUrl.empty() && !config.updateChannel.empty() && !config.publicKeyPem.empty();
}

std::string NoUpdateSourceMessage() {
    return Localized("The launcher has no update settings. Please download it again.", "启动器缺少更新配置，请重新下载启动器。");
}

Updater UpdaterFrom(const Configuration& config) {
    return Updater{.baseUrl = WithoutTrailingSlashes(config.updateBaseUrl),
                   .channel = config.updateChannel,
                   .publicKeyPem = config.publicKeyPem,
                   .installDir = WithoutTrailingBackslashes(config.installDir),
                   .gameUserDir = L"",
                   .cacheDir = config.cacheDir};
}

std::string SettingsText(const Configuration& config) {
    std::string content;
    if (config.installDirChosen) content = "InstallDir=" + WideToUtf8(config.installDir) + "\n";
    content += std::string("Language=") + (useEnglish.load() ? "en" : "zh") + "\n";
    return content;
}

void SaveSettings(const Configuration& config) {
    const std::wstring path = SettingsFilePath();
    CreateDirectories(ParentFolder(path));
    WriteFileAtomic(path, SettingsText(config));
}

void SetLanguage(const Configuration& config, bool english, HWND window) {
    useEnglish.exchange(english);
    try {
        SaveSettings(config);
    } catch (const std::exception&) {
        // The language still switches for this run; the file keeps its previous content.
    }
    if (window != nullptr) InvalidateRect(window, nullptr, FALSE);
}

}  // namespace vk
