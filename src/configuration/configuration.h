#pragma once
// Where updates come from, where the game lives, and the per-user settings: read once at start from
// the built-in defaults, launcher.cfg and settings.cfg; settings.cfg is written by SaveSettings alone.
#include <cstdint>
#include <string>

#include "engine/updater.h"

namespace vk {

// What the launcher keeps beside the engine's values. The install folder itself lives in the
// updater and the language in useEnglish, each in one place.
struct LauncherSettings {
    bool installDirChosen = false;  // the install folder came from settings.cfg or the picker: written back
    bool customSource = false;      // launcher.cfg redirects updates
    bool selfUpdateEnabled = true;
    std::wstring settingsFile;  // where settings.cfg is read from and written to
};

// The configuration in its one shape: the engine with the values it works with (the base URL without
// a trailing "/", the install folder without a trailing backslash, a drive root keeping its own), and
// the launcher's settings.
struct Configuration {
    Updater updater;
    LauncherSettings settings;
};

// Everything LoadConfiguration reads, gathered so the rules can be applied to any inputs.
struct ConfigurationSources {
    std::string embeddedIni;   // RCDATA 202
    std::string publicKeyPem;  // RCDATA 201
    std::string launcherCfg;   // launcher.cfg beside the executable
    std::string settings;      // settings.cfg in the per-user folder
    std::wstring executableDirectory;
    std::wstring userDataDirectory;
    unsigned short userUiLanguage = 0;  // GetUserDefaultUILanguage
};

// The speed limit in KiB a second of a "DownloadLimit=" value: up to nine decimal digits and nothing else;
// anything else is ignored as malformed (0, no limit).
std::uint64_t DownloadLimitFrom(const std::string& value);

// A base URL as the engine takes it: every trailing "/" removed.
std::string WithoutTrailingSlashes(std::string url);

// The local application-data folder + "\VelkarLauncher" ("." in its place when unavailable).
std::wstring UserDataDirectory();
// settings.cfg in a per-user folder, and in this user's.
std::wstring SettingsFileIn(const std::wstring& userDataDirectory);
std::wstring SettingsFilePath();

// Applies the override order to the sources and sets useEnglish.
Configuration ConfigurationFrom(const ConfigurationSources& sources);

// Reads the embedded defaults, launcher.cfg and settings.cfg. Never fails.
Configuration LoadConfiguration();

// False when the launcher cannot work: no base URL, channel or public key.
bool HasUpdateSource(const Updater& updater);

// What the player is told when HasUpdateSource is false, in the interface language.
std::string NoUpdateSourceMessage();

// The text of settings.cfg: the install folder when the player chose it, the current language, and the
// speed limit when there is one.
std::string SettingsText(const Updater& updater, const LauncherSettings& settings);

// Writes settings.cfg, making its folder first; throws the file failures.
void SaveSettings(const Updater& updater, const LauncherSettings& settings);

}  // namespace vk
