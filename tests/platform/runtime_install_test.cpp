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
    }

    void TearDown() override { test::RemoveRuntimeRecord(); }

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
    static RuntimeHost HostFor(const RemoteRelease& release, const std::wstring& folder) {
        RuntimeHost host = MakeRuntimeHost(release, folder);
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

    test::NativeRuntimeFiles native_;
    test::TempDir install_;
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
        DeleteFileW(Prerequisite(folder, standin::kInstallerRanFile).c_str());
        WriteFileAtomic(Prerequisite(folder, standin::kInstallerCaseFile), c.instructions);

        const RuntimeOutcome outcome = EnsureRuntime(HostFor(c.appLocalCopy ? withCopy : withoutCopy, folder));

        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_EQ(outcome.ran, c.ran);
        EXPECT_EQ(outcome.code, c.code);
        EXPECT_EQ(outcome.required, kInstallerVersion);
        const std::string commandLine = ReadWholeFile(Prerequisite(folder, standin::kInstallerRanFile));
        if (c.ran) {
            EXPECT_TRUE(commandLine.ends_with(" /install /quiet /norestart")) << commandLine;
            EXPECT_NE(commandLine.find("vc_redist.x64.exe"), std::string::npos) << commandLine;
        } else {
            EXPECT_EQ(commandLine, "") << "the installer must not have run";
        }
    }
}

TEST_F(RuntimeStep, DamagedInstallerIsNotRun) {
    const RemoteRelease release = Install("runtime", install_.path());
    WriteFileAtomic(Installer(), ReadWholeFile(Installer()) + "x");
    ASSERT_EQ(FileVersionOf(Installer()), kInstallerVersion) << "still a readable installer, only its bytes differ";

    const RuntimeOutcome outcome = EnsureRuntime(HostFor(release, install_.path()));
    EXPECT_EQ(outcome.kind, InstallerMissing);
    EXPECT_FALSE(outcome.ran);
    EXPECT_FALSE(IsRegularFile(Prerequisite(standin::kInstallerRanFile)));
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
    EXPECT_FALSE(IsRegularFile(Prerequisite(standin::kInstallerRanFile)));
}

// The installer runs elevated: between its check and its start nobody may replace or rename it.
TEST_F(RuntimeStep, CheckedInstallerStaysLockedUntilItHasStarted) {
    const RemoteRelease release = Install("runtime", install_.path());
    WriteFileAtomic(Prerequisite(standin::kInstallerCaseFile), "exit=0");
    const RuntimeHost host = MakeRuntimeHost(release, install_.path());
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
    EXPECT_TRUE(IsRegularFile(Prerequisite(standin::kInstallerRanFile))) << "held with read sharing, it still runs";
    EXPECT_TRUE(MoveFileExW(Installer().c_str(), Prerequisite(L"moved.exe").c_str(), 0)) << "let go after the start";
}

}  // namespace
}  // namespace vk
