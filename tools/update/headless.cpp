#include "headless.h"

#include <stdexcept>

#include "commands.h"
#include "configuration/configuration.h"
#include "console.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "options.h"

namespace vk::headless {

namespace {

// Configuration as the launcher reads it, then the command line's overrides.
Updater UpdaterFor(const Options& options) {
    Updater updater = LoadConfiguration().updater;
    if (options.english) useEnglish = *options.english;
    if (options.baseUrl) updater.baseUrl = WithoutTrailingSlashes(*options.baseUrl);
    if (options.channel) updater.channel = *options.channel;
    if (options.installDir) updater.installDir = TrimmedFolder(*options.installDir);
    if (options.cacheDir) updater.cacheDir = *options.cacheDir;
    if (options.limitKiB) updater.downloadLimitKiB = *options.limitKiB;
    if (!HasUpdateSource(updater)) throw std::runtime_error(NoUpdateSourceMessage());
    return updater;
}

}  // namespace

int RunHeadless(const std::vector<std::wstring>& arguments) {
    Options options;
    try {
        options = ParseOptions(arguments);
    } catch (const std::invalid_argument& e) {
        WriteErr(std::string("velkar-update: ") + e.what() + "\n" + kUsage);
        return kBadUsage;
    }
    try {
        return RunCommand(options, UpdaterFor(options));
    } catch (const Cancelled& e) {
        WriteErr(std::string(e.what()) + "\n");
        return kStopped;
    } catch (const std::exception& e) {
        WriteErr(std::string(e.what()) + "\n");
        return kFailed;
    }
}

}  // namespace vk::headless
