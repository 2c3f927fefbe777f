#include <windows.h>

#include <gtest/gtest.h>

#include "console.h"
#include "headless.h"
#include "infra/files.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/test_env.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

const wchar_t kPak0[] = L"Velkar\\Content\\Paks\\pakchunk0-Windows.pak";

// Runs velkar-update as a separate process, as scripts and QA machines do.
class VelkarUpdate : public ::testing::Test {
protected:
    std::wstring CommandLine(const std::string& arguments, const std::string& base) const {
        return L"\"" + std::wstring(VELKAR_TOOLS_DIR) + L"\\velkar-update.exe\" --lang en --install-dir \"" + install_ +
               L"\" --cache-dir \"" + (dir_ / L"cache") + L"\" --base-url " + Utf8ToWide(base) + L" " +
               Utf8ToWide(arguments);
    }

    test::ProcessResult Run(const std::string& arguments,
                            const std::string& base = test::Servers().https + "/release") const {
        return test::RunProcess(CommandLine(arguments, base));
    }

    test::TempDir dir_;
    const std::wstring install_ = dir_ / L"Velkar";
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(VelkarUpdate, InstallCheckVerifyRepairAndStatus) {
    auto check = Run("--channel v1 check");
    EXPECT_EQ(check.exitCode, 0u) << check.output;
    EXPECT_TRUE(Contains(check.output, "build: v1")) << check.output;
    EXPECT_TRUE(Contains(check.output, "version: 1.0.0")) << check.output;
    EXPECT_TRUE(Contains(check.output, "download: 12 files")) << check.output;
    EXPECT_TRUE(Contains(check.output, "state: not-installed")) << check.output;

    auto update = Run("--channel v1 --select island update");
    EXPECT_EQ(update.exitCode, 0u) << update.output;
    EXPECT_TRUE(IsRegularFile(install_ + L"\\Velkar\\Content\\Paks\\Island\\island-Windows.pak"));
    check = Run("--channel v1 check");
    EXPECT_TRUE(Contains(check.output, "download: 0 files")) << check.output;
    EXPECT_TRUE(Contains(check.output, "state: ready")) << check.output;

    auto noop = Run("--channel v1 --quiet update");
    EXPECT_EQ(noop.exitCode, 0u);
    EXPECT_EQ(noop.output, "");

    auto verify = Run("--channel v1 verify");
    EXPECT_EQ(verify.exitCode, 0u);
    EXPECT_EQ(verify.output, "");

    std::string bytes = ReadWholeFile(install_ + L"\\" + kPak0);
    bytes[12345] ^= 1;
    WriteFileAtomic(install_ + L"\\" + kPak0, bytes);
    verify = Run("--channel v1 verify");
    EXPECT_EQ(verify.exitCode, 4u);
    EXPECT_TRUE(Contains(verify.output, "Game file missing or changed: Velkar/Content/Paks/pakchunk0-Windows.pak"))
        << verify.output;

    EXPECT_EQ(Run("--channel v1 --quiet repair").exitCode, 0u);
    EXPECT_EQ(Run("--channel v1 verify").exitCode, 0u);

    auto status = Run("status", "https://unreachable.invalid");  // needs no network
    EXPECT_EQ(status.exitCode, 0u) << status.output;
    EXPECT_TRUE(Contains(status.output, "build: v1")) << status.output;
    EXPECT_TRUE(Contains(status.output, "files: 14")) << status.output;
    EXPECT_TRUE(Contains(status.output, "groups: island")) << status.output;

    check = Run("--channel v2 check");
    EXPECT_TRUE(Contains(check.output, "state: update-available")) << check.output;
}

TEST_F(VelkarUpdate, FailuresAndUsageHaveTheirExitCodes) {
    struct Case {
        const char* arguments;
        unsigned long exitCode;
        const char* output;
    };
    const Case cases[] = {
        {"", 2, "usage: velkar-update"},
        {"--frobnicate check", 2, "unexpected argument --frobnicate"},
        {"--select island check", 2, "--select goes with update"},
        {"--lang fr check", 2, "--lang takes en or zh"},
        {"--limit-rate 2M update", 2, "--limit-rate takes KiB a second"},
        {"--limit-rate 0 --channel v1 check", 0, "expires: never\n"},
        {"--channel sig-off check", 1, "Release signature check failed; update refused."},
        {"--channel too-new check", 0, "state: launcher-too-old"},
        {"--channel too-new update", 1, "Please download the new launcher."},
        {"--channel no-such-channel update", 1, "Could not get update info: HTTP 404"},
        {"--channel expired check", 1, "The update information has expired. Try again later."},
        {"--channel expires-later check", 0, "expires: 2999-12-31T23:59:59Z\n"},
        {"--channel v1 check", 0, "expires: never\n"},
    };
    for (const auto& c : cases) {
        const auto result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(Contains(result.output, c.output)) << c.arguments << "\n" << result.output;
    }
    // Messages in the other language, exactly as the launcher shows them.
    std::wstring chinese = CommandLine("--channel sig-off check", test::Servers().https + "/release");
    chinese.replace(chinese.find(L"--lang en"), 9, L"--lang zh");
    EXPECT_TRUE(Contains(test::RunProcess(chinese).output, "版本信息签名校验失败，已拒绝更新。"));
}

// Puts the files of `from` over those of `to` for the scope, and the saved ones back afterwards.
class ReplacedFiles {
public:
    ReplacedFiles(const std::wstring& from, const std::wstring& to, const std::vector<std::wstring>& names)
        : to_(to), names_(names) {
        for (const std::wstring& name : names_) {
            saved_.push_back(ReadWholeFile(JoinPath(to_, name)));
            WriteFileAtomic(JoinPath(to_, name), ReadWholeFile(JoinPath(from, name)));
        }
    }
    ~ReplacedFiles() {
        for (std::size_t i = 0; i < names_.size(); ++i) WriteFileAtomic(JoinPath(to_, names_[i]), saved_[i]);
    }
    ReplacedFiles(const ReplacedFiles&) = delete;
    ReplacedFiles& operator=(const ReplacedFiles&) = delete;

private:
    std::wstring to_;
    std::vector<std::wstring> names_;
    std::vector<std::string> saved_;
};

TEST_F(VelkarUpdate, AnOlderManifestReplayedByTheServerIsRefused) {
    auto check = Run("--channel rollback check");
    EXPECT_EQ(check.exitCode, 0u) << check.output;
    EXPECT_TRUE(Contains(check.output, "build: v2\n")) << check.output;
    EXPECT_TRUE(Contains(check.output, "sequence: 2\n")) << check.output;
    EXPECT_TRUE(Contains(check.output, "published: 20")) << check.output;
    {
        // The server hands out the channel's first publication again, with its valid signature.
        const ReplacedFiles replayed(test::TestEnvDir() + L"\\rollback-first\\release",
                                     test::WwwDir() + L"\\release\\channels\\rollback",
                                     {L"windows.json", L"windows.json.sig"});
        check = Run("--channel rollback check");
        EXPECT_EQ(check.exitCode, 1u) << check.output;
        EXPECT_TRUE(Contains(check.output, "The update server offered an older release than this computer has already "
                                           "seen. Update refused.")) << check.output;
        // A computer that never saw the later publication accepts the earlier one.
        test::RemoveTree(dir_ / L"cache");
        check = Run("--channel rollback check");
        EXPECT_EQ(check.exitCode, 0u) << check.output;
        EXPECT_TRUE(Contains(check.output, "sequence: 1\n")) << check.output;
    }
}

TEST_F(VelkarUpdate, WithoutAnUpdateSourceItStops) {
    // The test build embeds no base URL, so without --base-url there is no update source.
    const auto result = test::RunProcess(L"\"" + std::wstring(VELKAR_TOOLS_DIR) +
                                         L"\\velkar-update.exe\" --lang en --install-dir \"" + install_ + L"\" check");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(Contains(result.output, "The launcher has no update settings. Please download it again."))
        << result.output;
}

TEST_F(VelkarUpdate, KilledHalfWayThenResumed) {
    const std::string slow = test::Servers().fault + "/store/trickle/release";
    const std::wstring log = dir_ / L"update.log";
    {
        test::BackgroundProcess run(CommandLine("--channel v1 update", slow), log);
        const std::wstring downloads = install_ + L"\\.vklauncher\\downloads";
        // Wait for the first finished segment of the big pak (its first 8 MiB), then end the process hard.
        bool segment = false;
        for (int i = 0; i < 600 && !segment && run.Running(); ++i) {
            Sleep(50);
            WIN32_FIND_DATAW entry;
            HANDLE find = FindFirstFileW((downloads + L"\\*.seg").c_str(), &entry);
            if (find != INVALID_HANDLE_VALUE) {
                do segment = segment || FileSizeOf(downloads + L"\\" + entry.cFileName) > 0;
                while (FindNextFileW(find, &entry));
                FindClose(find);
            }
        }
        ASSERT_TRUE(segment);
        Sleep(1200);  // long enough for a progress line or two
        run.Kill();
    }
    // Progress on stderr, which is a file here: a line per second.
    const std::string progress = ReadWholeFile(log);
    EXPECT_TRUE(Contains(progress, "Downloading ")) << progress;
    EXPECT_TRUE(Contains(progress, "% ")) << progress;
    EXPECT_TRUE(Contains(progress, " MB / ")) << progress;
    EXPECT_FALSE(IsRegularFile(install_ + L"\\Velkar.exe"));

    const auto resumed = Run("--channel v1 --quiet update");
    EXPECT_EQ(resumed.exitCode, 0u) << resumed.output;
    EXPECT_EQ(ReadWholeFile(install_ + L"\\" + kPak0), ReadWholeFile(test::GameTree(L"v1") + L"\\" + kPak0));
    EXPECT_EQ(Run("--channel v1 verify").exitCode, 0u);
}

TEST_F(VelkarUpdate, ConsoleStopEndsWithExitCodeThree) {
    // Wine delivers no console control events between processes, so the handler is called here and
    // the updater runs inside this process, as the program's entry point runs it.
    headless::stopRequested = false;
    EXPECT_TRUE(headless::OnConsoleEvent(CTRL_C_EVENT));
    EXPECT_TRUE(headless::stopRequested.load());
    const std::vector<std::wstring> arguments = {L"--lang", L"en", L"--install-dir", install_, L"--base-url",
                                                 Utf8ToWide(test::Servers().https + "/release"), L"--channel", L"v1",
                                                 L"--quiet", L"update"};
    EXPECT_EQ(headless::RunHeadless(arguments), 3);
    EXPECT_FALSE(IsRegularFile(install_ + L"\\Velkar.exe"));
    headless::stopRequested = false;
    EXPECT_EQ(headless::RunHeadless(arguments), 0);
    EXPECT_TRUE(IsRegularFile(install_ + L"\\Velkar.exe"));
}

}  // namespace
}  // namespace vk
