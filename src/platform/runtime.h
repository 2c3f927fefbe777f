#pragma once
// The Visual C++ runtime the game needs: whether a good enough copy is available (shipped beside the
// game or installed system-wide), and otherwise the outcome of running the redistributable installer
// that the release ships. The version that counts as good enough is the shipped installer's own.
#include <compare>
#include <cstdint>
#include <functional>
#include <string>

namespace vk {

struct RuntimeVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t revision = 0;

    auto operator<=>(const RuntimeVersion&) const = default;
    bool IsZero() const { return *this == RuntimeVersion{}; }
};

// Required when the shipped installer has no readable version.
inline constexpr RuntimeVersion kFallbackRuntimeVersion{14, 50, 35719, 0};

// Gathered afresh for each decision.
struct RuntimeFacts {
    RuntimeVersion installer;  // file version of the shipped installer
    RuntimeVersion appLocal;   // the copy shipped beside the game
    RuntimeVersion registry;   // what the system-wide installation records
    RuntimeVersion system;     // the runtime files in the Windows system directory
};

// What the decision procedure needs from the system; MakeRuntimeHost builds the real one.
struct RuntimeHost {
    std::function<RuntimeFacts()> GetFacts;
    std::function<bool()> VerifyInstaller;
    // Out: the installer's exit code, the Windows error of a failed start. True when it ran to its end.
    std::function<bool(std::uint32_t& exitCode, std::uint32_t& error)> RunInstaller;
};

// The redistributable's exit codes that mean something here, and the error of a declined elevation prompt.
inline constexpr std::uint32_t kElevationDeclined = 1223;
inline constexpr std::uint32_t kInstallerUserCancelled = 1602;
inline constexpr std::uint32_t kInstallerAnotherInstallRunning = 1618;
inline constexpr std::uint32_t kInstallerNewerVersionPresent = 1638;
inline constexpr std::uint32_t kInstallerRestartRequired = 3010;

// Values are part of the result message's protocol.
enum RuntimeOutcomeKind : std::int32_t {
    RuntimePresent = 0,
    RuntimeInstalled = 1,
    InstallerMissing = 2,
    ConsentNeeded = 3,
    InstallerBusy = 4,
    RestartNeeded = 5,
    InstallFailed = 6,
};

struct RuntimeOutcome {
    std::int32_t kind = RuntimePresent;
    std::uint32_t code = 0;  // the installer's exit code when it ran, else the error of the failed start
    bool ran = false;        // the installer was started and its exit code read
    RuntimeVersion required;
};

// The installer's version, or the fallback when it has none.
RuntimeVersion RequiredRuntimeVersion(const RuntimeFacts& facts);

inline constexpr int kRuntimeMissing = 0;
inline constexpr int kRuntimeAppLocal = 1;
inline constexpr int kRuntimeSystemWide = 2;

// kRuntimeMissing, or where a good enough runtime was found. The system-wide installation counts only
// when both its registry record and its files reach the requirement.
int EvaluateRuntime(const RuntimeFacts& facts);

// Decides, runs the installer when needed and turns its exit code into an outcome. Never throws.
RuntimeOutcome EnsureRuntime(const RuntimeHost& host);

// The text shown for an outcome in the interface language; empty for the kinds that need no word.
std::wstring RuntimeMessage(const RuntimeOutcome& outcome);

}  // namespace vk
