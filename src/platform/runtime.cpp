#include "platform/runtime.h"

namespace vk {

namespace {

std::int32_t KindAfterExit(const RuntimeHost& host, std::uint32_t exitCode) {
    switch (exitCode) {
        case kInstallerUserCancelled: return ConsentNeeded;
        case kInstallerAnotherInstallRunning: return InstallerBusy;
        case 0:
        case kInstallerNewerVersionPresent:
        case kInstallerRestartRequired:
            if (EvaluateRuntime(host.GetFacts()) != kRuntimeMissing) return RuntimeInstalled;
            return exitCode == kInstallerRestartRequired ? RestartNeeded : InstallFailed;
        default: return InstallFailed;
    }
}

}  // namespace

RuntimeVersion RequiredRuntimeVersion(const RuntimeFacts& facts) {
    return facts.installer.IsZero() ? kFallbackRuntimeVersion : facts.installer;
}

int EvaluateRuntime(const RuntimeFacts& facts) {
    const RuntimeVersion required = RequiredRuntimeVersion(facts);
    if (!facts.appLocal.IsZero() && facts.appLocal >= required) return kRuntimeAppLocal;
    if (facts.registry < required) return kRuntimeMissing;
    if (facts.system.IsZero() || facts.system < required) return kRuntimeMissing;
    return kRuntimeSystemWide;
}

RuntimeOutcome EnsureRuntime(const RuntimeHost& host) {
    RuntimeOutcome outcome;
    const RuntimeFacts facts = host.GetFacts();
    outcome.required = RequiredRuntimeVersion(facts);
    if (EvaluateRuntime(facts) != kRuntimeMissing) return outcome;
    if (facts.installer.IsZero() || !host.VerifyInstaller()) {
        outcome.kind = InstallerMissing;
        return outcome;
    }
    std::uint32_t exitCode = 0;
    std::uint32_t error = 0;
    if (!host.RunInstaller(exitCode, error)) {
        outcome.code = error;
        outcome.kind = error == kElevationDeclined ? ConsentNeeded : InstallFailed;
        return outcome;
    }
    outcome.ran = true;
    outcome.code = exitCode;
    outcome.kind = KindAfterExit(host, exitCode);
    return outcome;
}

}  // namespace vk
