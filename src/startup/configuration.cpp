#include "startup/configuration.h"

#include <shlobj.h>

#include "infra/files.h"
#include "infra/language.h"
#include "infra/text.h"
#include "startup/ini.h"
#include "startup/program.h"

namespace vk {

std::wstring UserDataDirectory() {
    wchar_t* folder = nullptr;
    std::wstring base = L".";
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)) && folder != nullptr) {
        base = folder;
    }
    CoTaskMemFree(folder);
    return base + L"\\VelkarLauncher";
}

std::wstring SettingsFilePath() { return UserDataDirectory() + L"\\settings.cfg"; }

Configuration ConfigurationFrom(const ConfigurationSources& sources) {
    Configuration config;
    config.updateBaseUrl = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateBaseUrl");
    config.updateChannel = ReadIniValue(sources.embeddedIni, "Velkar.Update", "UpdateChannel");
    config.publicKeyPem = sources.publicKeyPem;
    config.cacheDir = sources.userDataDirectory + L"\\cache";

    const std::string baseUrl = ReadIniValue(sources.launcherCfg, "", "BaseUrl");
    const std::string channel = ReadIniValue(sources.launcherCfg, "", "Channel");
    if (!baseUrl.empty()) config.updateBaseUrl = baseUrl;
    if (!channel.empty()) config.updateChannel = channel;
    while (!config.updateBaseUrl.empty() && config.updateBaseUrl.back() == '/') config.updateBaseUrl.pop_back();

    // A custom source keeps its own cache so it never reads or overwrites the official one.
    config.customSource = !baseUrl.empty() || !channel.empty();
    if (config.customSource) config.cacheDir += L"-custom";
    config.selfUpdateEnabled = ReadIniValue(sources.launcherCfg, "", "SelfUpdate") != "0";

    const std::string installDir = ReadIniValue(sources.settings, "", "InstallDir");
    config.installDirChosen = !installDir.empty();
    config.installDir = config.installDirChosen ? Utf8ToWide(installDir) : sources.executableDirectory + L"\\Velkar";

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
    sources.launcherCfg = ReadWholeFile(sources.executableDirectory + L"\\launcher.cfg");
    sources.userDataDirectory = UserDataDirectory();
    sources.settings = ReadWholeFile(sources.userDataDirectory + L"\\settings.cfg");
    sources.userUiLanguage = GetUserDefaultUILanguage();
    return ConfigurationFrom(sources);
}

bool HasUpdateSource(const Configuration& config) {
    return !config.updateBaseUrl.empty() && !config.updateChannel.empty() && !config.publicKeyPem.empty();
}

std::string SettingsText(const Configuration& config) {
    std::string content;
    if (config.installDirChosen) content = "InstallDir=" + WideToUtf8(config.installDir) + "\n";
    content += std::string("Language=") + (useEnglish.load() ? "en" : "zh") + "\n";
    return content;
}

void SaveSettings(const Configuration& config) {
    const std::wstring path = SettingsFilePath();
    const size_t slash = path.rfind(L'\\');
    CreateDirectories(slash == std::wstring::npos ? path : path.substr(0, slash));
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
