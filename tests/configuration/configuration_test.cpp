#include "configuration/configuration.h"

#include <gtest/gtest.h>

#include <map>

#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

const char* const kEmbedded =
    "[/Script/Engine]\r\nName=Velkar\r\n[Velkar.Update]\r\nUpdateBaseUrl=\"https://official.example/\"\r\n"
    "UpdateChannel=\"internal\"\r\n";

ConfigurationSources Sources(std::string launcherCfg = "", std::string settings = "") {
    ConfigurationSources sources;
    sources.embeddedIni = kEmbedded;
    sources.publicKeyPem = "-----BEGIN PUBLIC KEY-----\r\n";
    sources.launcherCfg = std::move(launcherCfg);
    sources.settings = std::move(settings);
    sources.executableDirectory = L"C:\\Games";
    sources.userDataDirectory = L"C:\\Users\\p\\AppData\\Local\\VelkarLauncher";
    sources.userUiLanguage = 0x0409;
    return sources;
}

TEST(ConfigurationFrom, EmbeddedDefaultsAlone) {
    const Configuration c = ConfigurationFrom(Sources());
    EXPECT_EQ(c.updater.baseUrl, "https://official.example");
    EXPECT_EQ(c.updater.channel, "internal");
    EXPECT_EQ(c.updater.publicKeyPem, "-----BEGIN PUBLIC KEY-----\r\n");
    EXPECT_EQ(c.updater.installDir, L"C:\\Games\\Velkar");
    EXPECT_TRUE(c.updater.gameUserDir.empty());
    EXPECT_FALSE(c.settings.installDirChosen);
    EXPECT_EQ(c.updater.cacheDir, L"C:\\Users\\p\\AppData\\Local\\VelkarLauncher\\cache");
    EXPECT_EQ(c.settings.settingsFile, L"C:\\Users\\p\\AppData\\Local\\VelkarLauncher\\settings.cfg");
    EXPECT_FALSE(c.settings.customSource);
    EXPECT_TRUE(c.settings.selfUpdateEnabled);
    EXPECT_TRUE(HasUpdateSource(c.updater));
}

struct OverrideCase {
    const char* name;
    std::string launcherCfg;
    std::string baseUrl;
    std::string channel;
    bool custom;
};

TEST(ConfigurationFrom, LauncherCfgOverridesOnlyWithValues) {
    const OverrideCase cases[] = {
        {"base url with slashes", "BaseUrl=https://mirror.example///\n", "https://mirror.example", "internal", true},
        {"channel only", "Channel=beta\n", "https://official.example", "beta", true},
        {"empty base url changes nothing", "BaseUrl=\n", "https://official.example", "internal", false},
        {"only slashes empties the url", "BaseUrl=///\n", "", "internal", true},
        {"header hides keys", "[x]\nBaseUrl=https://m\n", "https://official.example", "internal", false},
    };
    for (const auto& c : cases) {
        const Configuration config = ConfigurationFrom(Sources(c.launcherCfg));
        EXPECT_EQ(config.updater.baseUrl, c.baseUrl) << c.name;
        EXPECT_EQ(config.updater.channel, c.channel) << c.name;
        EXPECT_EQ(config.settings.customSource, c.custom) << c.name;
        const std::wstring cache = L"C:\\Users\\p\\AppData\\Local\\VelkarLauncher\\cache";
        EXPECT_EQ(config.updater.cacheDir, c.custom ? cache + L"-custom" : cache) << c.name;
    }
    EXPECT_FALSE(HasUpdateSource(ConfigurationFrom(Sources("BaseUrl=///\n")).updater));
}

TEST(ConfigurationFrom, SelfUpdateIsDisabledOnlyByZero) {
    const std::pair<std::string, bool> cases[] = {
        {"SelfUpdate=0\n", false},
        {"SelfUpdate= 0\n", false},
        {"SelfUpdate=00\n", true},
        {"SelfUpdate=false\n", true},
        {"", true},
    };
    for (const auto& [cfg, enabled] : cases) {
        EXPECT_EQ(ConfigurationFrom(Sources(cfg)).settings.selfUpdateEnabled, enabled) << cfg;
    }
}

TEST(ConfigurationFrom, LanguageFromSettingsOrTheUserInterface) {
    struct Case {
        std::string settings;
        unsigned short uiLanguage;
        bool english;
    };
    const Case cases[] = {
        {"Language=en\n", 0x0804, true},
        {"Language=  en  \n", 0x0804, true},
        {"Language=\"en\"\n", 0x0804, true},
        {"Language=EN\n", 0x0409, false},
        {"Language=english\n", 0x0409, false},
        {"Language=zh\n", 0x0409, false},
        {"Language=\n", 0x0804, false},
        {"", 0x0409, true},
        {"", 0x0404, false},  // Chinese (Taiwan) has the Chinese primary language
        {"\xEF\xBB\xBFLanguage=en\r\n", 0x0804, true},
        {"[section]\nLanguage=en\n", 0x0804, false},
    };
    for (const auto& c : cases) {
        auto sources = Sources("", c.settings);
        sources.userUiLanguage = c.uiLanguage;
        ConfigurationFrom(sources);
        EXPECT_EQ(useEnglish.load(), c.english) << c.settings << " ui " << c.uiLanguage;
    }
}

// The engine takes folders without a trailing backslash; the text itself is taken as written.
TEST(ConfigurationFrom, InstallDirFromSettingsIsTakenAsWritten) {
    const Configuration c = ConfigurationFrom(Sources("", "InstallDir=D:\\Spiele\\Velkär\\\r\nLanguage=zh\r\n"));
    EXPECT_EQ(c.updater.installDir, L"D:\\Spiele\\Velk\u00e4r");
    EXPECT_TRUE(c.settings.installDirChosen);
    EXPECT_EQ(ConfigurationFrom(Sources("", "InstallDir=D:\\\n")).updater.installDir, L"D:\\");
}

TEST(ConfigurationFrom, DownloadLimitInKiBASecondAndMalformedValuesIgnored) {
    const std::pair<std::string, std::uint64_t> cases[] = {
        {"DownloadLimit=2048\n", 2048},
        {"DownloadLimit= \"512\" \r\n", 512},
        {"DownloadLimit=0\n", 0},
        {"", 0},
        {"DownloadLimit=-5\n", 0},
        {"DownloadLimit=2 MiB\n", 0},
        {"DownloadLimit=1e3\n", 0},
        {"DownloadLimit=99999999999999999999\n", 0},
        {"[section]\nDownloadLimit=100\n", 0},
    };
    for (const auto& [settings, limit] : cases) {
        EXPECT_EQ(ConfigurationFrom(Sources("", settings)).updater.downloadLimitKiB, limit) << settings;
    }
    // launcher.cfg is about where updates come from, not the player's line.
    EXPECT_EQ(ConfigurationFrom(Sources("DownloadLimit=100\n")).updater.downloadLimitKiB, 0u);
}

TEST(Settings, TextHoldsAChosenFolderAndTheLanguage) {
    Configuration c;
    c.updater.installDir = L"D:\\Games\\Velkar";
    useEnglish = true;
    EXPECT_EQ(SettingsText(c.updater, c.settings), "Language=en\n");
    c.settings.installDirChosen = true;
    useEnglish = false;
    EXPECT_EQ(SettingsText(c.updater, c.settings), "InstallDir=D:\\Games\\Velkar\nLanguage=zh\n");
    // A limit the player set survives the launcher's own rewrites of the file.
    c.updater.downloadLimitKiB = 2048;
    EXPECT_EQ(SettingsText(c.updater, c.settings), "InstallDir=D:\\Games\\Velkar\nLanguage=zh\nDownloadLimit=2048\n");
}

TEST(Settings, SavingMakesTheFolderAndWritesTheLanguageAsItIsNow) {
    test::TempDir dir;
    Configuration c;
    c.settings.installDirChosen = true;
    c.settings.settingsFile = dir / L"user\\settings.cfg";
    c.updater.installDir = L"E:\\Velkar";
    useEnglish = true;
    SaveSettings(c.updater, c.settings);
    EXPECT_EQ(ReadWholeFile(c.settings.settingsFile), "InstallDir=E:\\Velkar\nLanguage=en\n");
    useEnglish = false;
    SaveSettings(c.updater, c.settings);
    EXPECT_EQ(ReadWholeFile(c.settings.settingsFile), "InstallDir=E:\\Velkar\nLanguage=zh\n");
    // A folder that cannot be made is the caller's failure to ignore.
    test::WriteTestFile(dir / L"blocked", "a file");
    c.settings.settingsFile = dir / L"blocked\\settings.cfg";
    EXPECT_THROW(SaveSettings(c.updater, c.settings), std::runtime_error);
}

// The per-user folder is real: save and restore the Wine user's settings around each test.
class UserSettings : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = ReadWholeFile(SettingsFilePath());
        hadFile_ = IsRegularFile(SettingsFilePath());
    }
    void TearDown() override {
        if (hadFile_) {
            WriteFileAtomic(SettingsFilePath(), saved_);
        } else {
            DeleteFileW(SettingsFilePath().c_str());
        }
    }
    std::string saved_;
    bool hadFile_ = false;
};

TEST_F(UserSettings, TheLoadedConfigurationSavesToThisUsersSettingsFile) {
    Configuration c = LoadConfiguration();
    EXPECT_EQ(c.settings.settingsFile, SettingsFilePath());
    c.settings.installDirChosen = true;
    c.updater.installDir = L"E:\\Velkar";
    useEnglish = true;
    SaveSettings(c.updater, c.settings);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), "InstallDir=E:\\Velkar\nLanguage=en\n");
    useEnglish = false;
    SaveSettings(c.updater, c.settings);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), "InstallDir=E:\\Velkar\nLanguage=zh\n");
}

// Runs a probe built with the launcher's configuration code from a folder of its own.
class ProbeRun : public UserSettings {
protected:
    std::map<std::string, std::string> Run(const std::wstring& variant, const std::string& launcherCfg) {
        const std::wstring exe = folder_ / L"probe.exe";
        const std::wstring source = std::wstring(VELKAR_PROBE_DIR) + L"\\config_probe_" + variant + L".exe";
        EXPECT_TRUE(CopyFileW(source.c_str(), exe.c_str(), FALSE));
        if (!launcherCfg.empty()) test::WriteTestFile(folder_ / L"launcher.cfg", launcherCfg);
        const auto result = test::RunProcess(L"\"" + exe + L"\"");
        EXPECT_EQ(result.exitCode, 0u) << result.output;
        std::map<std::string, std::string> values;
        size_t position = 0;
        while (position < result.output.size()) {
            size_t end = result.output.find('\n', position);
            if (end == std::string::npos) end = result.output.size();
            std::string line = result.output.substr(position, end - position);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t equals = line.find('=');
            if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
            position = end + 1;
        }
        return values;
    }
    test::TempDir folder_;
};

TEST_F(ProbeRun, EmbeddedResourcesAndFilesBesideTheExecutable) {
    WriteFileAtomic(SettingsFilePath(), "Language=en\n");
    auto values = Run(L"standard", "");
    EXPECT_EQ(values["updateBaseUrl"], "https://updates.example.test/velkar");
    EXPECT_EQ(values["updateChannel"], "internal");
    EXPECT_EQ(values["publicKeyBytes"], "636");
    EXPECT_EQ(values["installDir"], WideToUtf8(folder_.path()) + "\\Velkar");
    EXPECT_EQ(values["cacheDir"], values["userDataDirectory"] + "\\cache");
    EXPECT_EQ(values["useEnglish"], "1");
    EXPECT_EQ(values["hasUpdateSource"], "1");
    EXPECT_NE(values["userDataDirectory"].find("AppData\\Local\\VelkarLauncher"), std::string::npos);
}

TEST_F(ProbeRun, LauncherCfgSuppliesTheSourceWhenTheEmbeddedIniLacksIt) {
    WriteFileAtomic(SettingsFilePath(), "InstallDir=C:\\Elsewhere\nLanguage=zh\n");
    auto missing = Run(L"no_update_section", "");
    EXPECT_EQ(missing["updateBaseUrl"], "");
    EXPECT_EQ(missing["hasUpdateSource"], "0");

    auto values = Run(L"no_update_section", "BaseUrl=https://mirror.example.test/\r\nChannel=beta\r\nSelfUpdate=0\r\n");
    EXPECT_EQ(values["updateBaseUrl"], "https://mirror.example.test");
    EXPECT_EQ(values["updateChannel"], "beta");
    EXPECT_EQ(values["customSource"], "1");
    EXPECT_EQ(values["selfUpdateEnabled"], "0");
    EXPECT_EQ(values["hasUpdateSource"], "1");
    EXPECT_EQ(values["cacheDir"], values["userDataDirectory"] + "\\cache-custom");
    EXPECT_EQ(values["installDir"], "C:\\Elsewhere");
    EXPECT_EQ(values["installDirChosen"], "1");
    EXPECT_EQ(values["useEnglish"], "0");
}

}  // namespace
}  // namespace vk
