#include "headless.h"

#include <stdexcept>

#include "commands.h"
#include "console.h"
#include "infra/errors.h"
#include "infra/language.h"
#include "options.h"
#include "startup/configuration.h"

namespace vk::headless {

namespace {

// Configuration as the launcher reads it, then the command line's overrides.
Updater UpdaterFor(const Options& options) {
    Configuration config = LoadConfiguration();
    if (options.english) useEnglish = *options.english;
    if (options.baseUrl) {
        config.updateBaseUrl = *options.baseUrl;
        while (!config.updateBaseUrl.empty() && config.updateBaseUrl.back() == '/') config.updateBaseUrl.pop_back();
    }
    if (options.channel) config.updateChannel = *options.channel;
    if (options.installDir) config.installDir = *options.installDir;
    if (options.cacheDir) config.cacheDir = *options.cacheDir;
    while (config.installDir.size() > 3 && config.installDir.back() == L'\\') config.installDir.pop_back();
    if (!HasUpdateSource(config)) {
        throw std::runtime_error(Localized("The launcher has no update settings. Please download it again.",
                                           "启动器缺少更新配置，请重新下载启动器。"));
    }
    return Updater{config.updateBaseUrl, config.updateChannel, config.publicKeyPem, config.installDir, L"", config.cacheDir};
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
