#pragma once
// Where updates come from, where the game lives, and the per-user settings file.
#include <windows.h>

#include <string>

#include "engine/updater.h"

namespace vk {

struct Configuration {
    std::string updateBaseUrl;       // never ends in "/"
    std::string updateChannel;
    std::string publicKeyPem;        // release-signing key (PEM)
    std::wstring installDir;
    bool installDirChosen = false;   // came from settings.cfg or the folder picker
    std::wstring cacheDir;
    bool customSource = false;       // launcher.cfg redirects updates
    bool selfUpdateEnabled = true;
};

// Everything LoadConfiguration reads, gathered so the rules can be applied to any inputs.
struct ConfigurationSources {
    std::string embeddedIni;         // RCDATA 202
    std::string publicKeyPem;        // RCDATA 201
    std::string launcherCfg;         // launcher.cfg beside the executable
    std::string settings;            // settings.cfg in the per-user folder
    std::wstring executableDirectory;
    std::wstring userDataDirectory;
    unsigned short userUiLanguage = 0;  // GetUserDefaultUILanguage
};

// The local application-data folder + "\VelkarLauncher" ("." in its place when unavailable).
std::wstring UserDataDirectory();
std::wstring SettingsFilePath();

// Applies the override order to the sources and sets useEnglish.
Configuration ConfigurationFrom(const ConfigurationSources& sources);

// Reads the embedded defaults, launcher.cfg and settings.cfg. Never fails.
Configuration LoadConfiguration();

// False when the launcher cannot work: no base URL, channel or public key.
bool HasUpdateSource(const Configuration& config);

// What the player is told when HasUpdateSource is false, in the interface language.
std::string NoUpdateSourceMessage();

// The engine for these values, with the base URL and the install folder in the engine's form
// (no trailing "/" or backslash; a drive root keeps its own).
Updater UpdaterFrom(const Configuration& config);

// The text of settings.cfg for these values and the current language.
std::string SettingsText(const Configuration& config);

// Writes settings.cfg; throws the file failures.
void SaveSettings(const Configuration& config);

// Switches the language, saves the settings (ignoring failures) and repaints the window, if any.
void SetLanguage(const Configuration& config, bool english, HWND window);

}  // namespace vk
