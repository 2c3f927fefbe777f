#include "configuration/configuration.h"

#include <algorithm>

#include "configuration/ini.h"
#include "configuration/program.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

std::uint64_t DownloadLimitFrom(const std::string& value) {
    constexpr std::size_t kMostDigits = 9;  // up to about a terabyte a second
    const bool digits = !value.empty() && value.size() <= kMostDigits &&
                        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? std::stoull(value) : 0;
}

std::string WithoutTrailingSlashes(std::string url) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::wstring UserDataDirectory() {
    const std::wstring base = LocalAppDataFolder();
    return JoinPath(base.empty() ? L"." : base, L"VelkarLauncher");
}

std::wstring SettingsFileIn(const std::wstring& userDataDirectory) {
    return JoinPath(userDataDirectory, L"settings.cfg");
}

std::wstring SettingsFilePath() { return SettingsFileIn(UserDataDirectory()); }

Configuration ConfigurationFrom(const ConfigurationSources& sources) {
    Configuration config;
    Updater& updater = config.updater;
    updater.baseUrl = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateBaseUrl");
    updater.channel = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateChannel");
    updater.publicKeyPem = sources.publicKeyPem;
    updater.cacheDir = JoinPath(sources.userDataDirectory, L"cache");
    config.settings.settingsFile = SettingsFileIn(sources.userDataDirectory);

    const std::string baseUrl = ReadIniValue(sources.launcherCfg, "", "BaseUrl");
    const std::string channel = ReadIniValue(sources.launcherCfg, "", "Channel");
    if (!baseUrl.empty()) updater.baseUrl = baseUrl;
    if (!channel.empty()) updater.channel = channel;
    updater.baseUrl = WithoutTrailingSlashes(updater.baseUrl);

    // A custom source keeps its own cache so it never reads or overwrites the official one.
    config.settings.customSource = !baseUrl.empty() || !channel.empty();
    if (config.settings.customSource) updater.cacheDir += L"-custom";
    config.settings.selfUpdateEnabled = ReadIniValue(sources.launcherCfg, "", "SelfUpdate") != "0";

    const std::string installDir = ReadIniValue(sources.settings, "", "InstallDir");
    config.settings.installDirChosen = !installDir.empty();
    updater.installDir = config.settings.installDirChosen ? TrimmedFolder(Utf8ToWide(installDir))
                                                          : JoinPath(sources.executableDirectory, L"Velkar");

    updater.downloadLimitKiB = DownloadLimitFrom(ReadIniValue(sources.settings, "", "DownloadLimit"));

    const std::string language = ReadIniValue(sources.settings, "", "Language");
    const bool english = language.empty() ? (sources.userUiLanguage & 0x3FF) != LANG_CHINESE : language == "en";
    useEnglish.exchange(english);
    return config;
}

Configuration LoadConfiguration() {
    ConfigurationSources sources;
    sources.embeddedIni = LoadRcData(kDefaultIniResource);
    sources.publicKeyPem = LoadRcData(kPublicKeyResource);
    sources.executableDirectory = ExecutableDirectory();
    sources.launcherCfg = ReadWholeFile(JoinPath(sources.executableDirectory, L"launcher.cfg"), kSmallFileLimit);
    sources.userDataDirectory = UserDataDirectory();
    sources.settings = ReadWholeFile(SettingsFileIn(sources.userDataDirectory), kSmallFileLimit);
    sources.userUiLanguage = GetUserDefaultUILanguage();
    return ConfigurationFrom(sources);
}

bool HasUpdateSource(const Updater& updater) {
    return !updater.baseUrl.empty() && !updater.channel.empty() && !updater.publicKeyPem.empty();
}

std::string NoUpdateSourceMessage() {
    return Localized("The launcher has no update settings. Please download it again.",
                     "启动器缺少更新配置，请重新下载启动器。");
}

std::string SettingsText(const Updater& updater, const LauncherSettings& settings) {
    std::string content;
    if (settings.installDirChosen) content = "InstallDir=" + WideToUtf8(updater.installDir) + "\n";
    content += std::string("Language=") + (useEnglish.load() ? "en" : "zh") + "\n";
    if (updater.downloadLimitKiB != 0) content += "DownloadLimit=" + std::to_string(updater.downloadLimitKiB) + "\n";
    return content;
}

void SaveSettings(const Updater& updater, const LauncherSettings& settings) {
    CreateDirectories(ParentFolder(settings.settingsFile));
    WriteFileAtomic(settings.settingsFile, SettingsText(updater, settings));
}

}  // namespace vk
