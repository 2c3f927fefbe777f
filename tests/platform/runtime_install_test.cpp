// The runtime step against a release published with velkar-publish: the installer stand-in ships under
// Prerequisites, carries the version the runtime must reach and ends with the exit code each case picks.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "engine/updater.h"
#include "fixtures/standin_protocol.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "platform/runtime_facts.h"
#include "platform/runtime_host.h"
#include "platform_fixtures.h"
#include "runtime_registry.h"
#include "support/temp_dir.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

constexpr RuntimeVersion kInstallerVersion{14, 44, 35211, 0};

class RuntimeStep : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        test::RemoveRuntimeRecord();
        SetEnvironmentVariableW(standin::kInstallerRecordsVariable, records_.path().c_str());
    }

    void TearDown() override {
        test::RemoveRuntimeRecord();
        SetEnvironmentVariableW(standin::kInstallerRecordsVariable, nullptr);
    }

    // Installs a release of the store "launcher" into the folder, the way an update does.
    static RemoteRelease Install(const std::string& channel, const std::wstring& folder) {
        const Updater updater = test::TestUpdaterAt(test::Servers().https + "/launcher", channel, folder);
        const RemoteRelease release = updater.FetchRelease();
        UpdateProgress progress;
        const std::atomic<bool> stop{false};
        updater.Update(release, false, progress, stop);
        return release;
    }

    // The release's real host, but for one fact: Wine's own runtime files carry no version resource, so
    // its system directory never holds a good enough runtime. The system-wide files are read from the
    // fixtures' runtime folder at the installer's version instead; the registry record stays the real one.
    RuntimeHost HostFor(const RemoteRelease& release, const std::wstring& folder) const {
        RuntimeHost host = MakeRuntimeHost(release, folder, SetupFolder());
        host.GetFacts = [real = host.GetFacts] {
            RuntimeFacts facts = real();
            facts.system = RuntimeDllVersion(test::FixturePath(L"runtime-good"));
            return facts;
        };
        return host;
    }

    static std::wstring Prerequisite(const std::wstring& folder, const std::wstring& name) {
        return folder + L"\\Prerequisites\\" + name;
    }
    std::wstring Prerequisite(const std::wstring& name) const { return Prerequisite(install_.path(), name); }
    std::wstring Installer() const { return Prerequisite(L"vc_redist.x64.exe"); }
    std::wstring SetupFolder() const { return profile_ / L"runtime-setup"; }

    // What the installer stand-in reported: "command", "image", "directory", "writable", "planted".
    std::string Reported(const std::string& key) const {
        const std::string report = ReadWholeFile(records_ / standin::kInstallerRanFile);
        const std::size_t at = report.find(key + "=");
        if (at == std::string::npos) return {};
        const std::size_t start = at + key.size() + 1;
        return report.substr(start, report.find('\n', start) - start);
    }
    bool InstallerRan() const { return IsRegularFile(records_ / standin::kInstallerRanFile); }
    void Instruct(const std::string& instructions) const {
        DeleteFileW((records_ / standin::kInstallerRanFile).c_str());
        WriteFileAtomic(records_ / standin::kInstallerCaseFile, instructions);
    }

    test::NativeRuntimeFiles native_;
    test::TempDir install_;
    test::TempDir profile_;  // stands in for the launcher's folder in the player's profile
    test::TempDir records_;
};

struct InstallCase {
    const char* name;
    bool appLocalCopy;         // the release ships a runtime copy at the installer's version
    bool recordedBefore;       // the system-wide installation is recorded in the registry beforehand
    const char* instructions;  // what the installer stand-in does
    std::int32_t kind;
    bool ran;
    std::uint32_t code;
};

const InstallCase kInstallCases[] = {
    {"PresentAppLocal", true, false, "exit=5", RuntimePresent, false, 0},
    {"PresentSystemWide", false, true, "exit=5", RuntimePresent, false, 0},
    {"Installed", false, false, "exit=0\nregister=1", RuntimeInstalled, true, 0},
    {"RestartAskedButFound", false, false, "exit=3010\nregister=1", RuntimeInstalled, true, 3010},
    {"RestartNeeded", false, false, "exit=3010", RestartNeeded, true, 3010},
    {"Busy", false, false, "exit=1618", InstallerBusy, true, 1618},
    {"UserCancelled", false, false, "exit=1602", ConsentNeeded, true, 1602},
    {"Failed", false, false, "exit=5", InstallFailed, true, 5},
    {"FinishedButStillMissing", false, false, "exit=0", InstallFailed, true, 0},
};

TEST_F(RuntimeStep, EachOutcomeFromTheShippedInstaller) {
    test::TempDir appLocal;
    const RemoteRelease withCopy = Install("runtime-applocal", appLocal.path());
    const RemoteRelease withoutCopy = Install("runtime", install_.path());
    for (const InstallCase& c : kInstallCases) {
        SCOPED_TRACE(c.name);
        const std::wstring& folder = c.appLocalCopy ? appLocal.path() : install_.path();
        test::RemoveRuntimeRecord();
        if (c.recordedBefore) test::WriteRuntimeRecord(14, 44, 35211, 0);
        Instruct(c.instructions);

        const RuntimeOutcome outcome = EnsureRuntime(HostFor(c.appLocalCopy ? withCopy : withoutCopy, folder));

        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_EQ(outcome.ran, c.ran);
        EXPECT_EQ(outcome.code, c.code);
        EXPECT_EQ(outcome.required, kInstallerVersion);
        EXPECT_EQ(InstallerRan(), c.ran);
        if (c.ran) {
            const std::string commandLine = Reported("command");
            EXPECT_TRUE(commandLine.ends_with(" /install /quiet /norestart")) << commandLine;
            EXPECT_NE(commandLine.find("vc_redist.x64.exe"), std::string::npos) << commandLine;
        }
    }
}

// The game folder may be writable by other accounts: a library placed beside the shipped installer must
// not load into it while it runs as administrator. It runs as a copy in the launcher's own folder, from
// there, held against writes while it runs, and the copy is gone afterwards.
TEST_F(RuntimeStep, TheInstallerRunsAsACopyInTheLaunchersOwnFolder) {
    const RemoteRelease release = Install("runtime", install_.path());
    WriteFileAtomic(Prerequisite(standin::kPlantedLibrary), test::FixtureBytes(L"runtime-marking\\msvcp140_2.dll"));
    Instruct("exit=0\nregister=1");
    const std::string shipped = ReadWholeFile(Installer());

    const RuntimeOutcome outcome = EnsureRuntime(HostFor(release, install_.path()));

    EXPECT_EQ(outcome.kind, RuntimeInstalled);
    ASSERT_TRUE(InstallerRan());
    const std::string copy = WideToUtf8(SetupFolder() + L"\\vc_redist.x64.exe");
    EXPECT_EQ(Reported("image"), copy);
    EXPECT_EQ(Reported("directory"), WideToUtf8(SetupFolder()));
    EXPECT_EQ(Reported("writable"), "0") << "the copy could be changed while it ran";
    EXPECT_EQ(Reported("planted"), "0") << "a library beside the shipped installer was loaded";
    EXPECT_FALSE(IsRegularFile(Prerequisite(std::wstring(standin::kPlantedLibrary) + L".loaded")));
    EXPECT_FALSE(IsRegularFile(SetupFolder() + L"\\vc_redist.x64.exe")) << "the copy was left behind";
    EXPECT_EQ(GetFileAttributesW(SetupFolder().c_str()), INVALID_FILE_ATTRIBUTES) << "its folder was left behind";
    EXPECT_EQ(ReadWholeFile(Installer()), shipped);
}

TEST_F(RuntimeStep, DamagedInstallerIsNotRun) {
    const RemoteRelease release = Install("runtime", install_.path());
    WriteFileAtomic(Installer(), ReadWholeFile(Installer()) + "x");
    ASSERT_EQ(FileVersionOf(Installer()), kInstallerVersion) << "still a readable installer, only its bytes differ";

    const RuntimeOutcome outcome = EnsureRuntime(HostFor(release, install_.path()));
    EXPECT_EQ(outcome.kind, InstallerMissing);
    EXPECT_FALSE(outcome.ran);
    EXPECT_FALSE(InstallerRan());
}

TEST_F(RuntimeStep, InstallerTheReleaseDoesNotListIsNotTrusted) {
    const RemoteRelease release = Install("runtime-bare", install_.path());
    const RuntimeOutcome missing = EnsureRuntime(HostFor(release, install_.path()));
    EXPECT_EQ(missing.kind, InstallerMissing);
    EXPECT_EQ(missing.required, kFallbackRuntimeVersion) << "no installer, no version to require";

    test::WriteTestFile(Installer(), test::FixtureBytes(L"vc_redist_standin.exe"));
    const RuntimeOutcome unlisted = EnsureRuntime(HostFor(release, install_.path()));
    EXPECT_EQ(unlisted.kind, InstallerMissing);
    EXPECT_EQ(unlisted.required, kInstallerVersion);
    EXPECT_FALSE(InstallerRan());
}

// The installer runs elevated: between its check and its start nobody may replace or rename it.
TEST_F(RuntimeStep, CheckedInstallerStaysLockedUntilItHasStarted) {
    const RemoteRelease release = Install("runtime", install_.path());
    Instruct("exit=0");
    const RuntimeHost host = MakeRuntimeHost(release, install_.path(), SetupFolder());
    ASSERT_TRUE(host.VerifyInstaller());

    const UniqueHandle writer(CreateFileW(Installer().c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    const DWORD writeError = GetLastError();
    EXPECT_FALSE(writer.valid()) << "the checked installer could be overwritten";
    EXPECT_EQ(writeError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileExW(Installer().c_str(), Prerequisite(L"moved.exe").c_str(), 0))
        << "the checked installer could be renamed";

    std::uint32_t exitCode = 99;
    std::uint32_t error = 99;
    EXPECT_TRUE(host.RunInstaller(exitCode, error));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(InstallerRan()) << "held with read sharing, it still runs";
    EXPECT_TRUE(MoveFileExW(Installer().c_str(), Prerequisite(L"moved.exe").c_str(), 0)) << "let go afterwards";
}

}  // namespace
}  // namespace vk
