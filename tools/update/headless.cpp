#include "headless.h"

#include <stdexcept>

#include "commands.h"
#include "console.h"
#include "infra/errors.h"
#include "infra/language_portable.h"
#include "options.h"
#include "startup/configuration.h"

namespace vk::headless {

namespace {

// Configuration as the launcher reads it, then the command line's overrides.
Updater UpdaterFor(const Options& options) {
    Configuration config = LoadConfiguration();
    if (options.english) useEnglish = *options.english;
    if (options.baseUrl) config.updateBaseUrl = *options.baseUrl;
    if (options.channel) config.updateChannel = *options.channel;
    if (options.installDir) config.installDir = *options.installDir;
    if (options.cacheDir) config.cacheDir = *options.cacheDir;
    if (!HasUpdateSource(config)) throw std::runtime_error(NoUpdateSourceMessage());
    return UpdaterFrom(config);
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
