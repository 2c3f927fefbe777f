#include "release_plan.h"

#include <stdexcept>
#include <system_error>

#include "engine/versions_portable.h"
#include "file_io.h"
#include "groups.h"

namespace vk::publish {
namespace {

// Blobs the launcher fetches whole (its own executable, the banner) must fit its 64 MiB limit.
constexpr std::uint64_t kWholeBlobLimit = 64ull << 20;

// Publishing the store into the game folder would make every later release contain the store.
bool IsInside(const fs::path& inner, const fs::path& outer) {
    const fs::path relative = fs::weakly_canonical(inner).lexically_relative(fs::weakly_canonical(outer));
    return !relative.empty() && *relative.begin() != "..";
}

void CheckLaunchFile(const ReleaseOptions& options, const ReleasePlan& plan, std::vector<std::string>& problems) {
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        if (plan.files[i].path != options.launchPath) continue;
        if (!plan.groups[i].empty()) {
            problems.push_back("--launch " + options.launchPath + ": belongs to the optional group " + plan.groups[i]);
        }
        return;
    }
    problems.push_back("--launch " + options.launchPath + ": is not a file of the game folder");
}

void CheckWholeBlob(const std::optional<fs::path>& file, const char* option, std::vector<std::string>& problems) {
    if (!file) return;
    std::error_code error;
    const std::uint64_t size = fs::is_regular_file(*file, error) ? fs::file_size(*file, error) : 0;
    if (size == 0 || size > kWholeBlobLimit) {
        problems.push_back(std::string(option) + " " + Utf8Of(*file) + ": must be a file of 1 byte to 64 MiB");
    }
}

// A release that needs a newer launcher than the one it offers could never be applied.
void CheckLauncherOffer(const ReleaseOptions& options, std::vector<std::string>& problems) {
    CheckWholeBlob(options.launcherExe, "--launcher-exe", problems);
    CheckWholeBlob(options.banner, "--banner", problems);
    if (options.launcherExe && CompareVersions(options.minLauncher, options.launcherVersion) > 0) {
        problems.push_back("--min-launcher " + options.minLauncher + " is newer than --launcher-version " +
                           options.launcherVersion);
    }
}

std::string JoinProblems(const std::vector<std::string>& problems) {
    std::string text = "the release cannot be published:";
    for (const std::string& problem : problems) text += "\n  " + problem;
    return text;
}

}  // namespace

ReleasePlan PlanRelease(const ReleaseOptions& options) {
    if (!fs::is_directory(options.game)) throw std::runtime_error("no game folder at " + Utf8Of(options.game));
    if (IsInside(options.store, options.game)) {
        throw std::runtime_error("the store must not lie inside the game folder");
    }
    GameScan scan = ScanGameFolder(options.game);
    ReleasePlan plan{std::move(scan.files), {}};
    std::vector<std::string> problems = std::move(scan.problems);
    std::vector<std::string> paths;
    for (const GameFile& file : plan.files) paths.push_back(file.path);
    plan.groups = AssignGroups(paths, options.groups, problems);
    CheckLaunchFile(options, plan, problems);
    CheckLauncherOffer(options, problems);
    if (!problems.empty()) throw std::runtime_error(JoinProblems(problems));
    return plan;
}

}  // namespace vk::publish
