#include "controller/app_configuration.h"

namespace vk {

void ApplyConfiguration(AppState& app, const Configuration& config) {
    UseUpdaterValues(app, UpdaterFrom(config));
    app.customSource = config.customSource;
    app.installDirChosen = config.installDirChosen;
    app.selfUpdateEnabled = config.selfUpdateEnabled;
}

Configuration ConfigurationOf(const AppState& app) {
    Configuration config;
    config.updateBaseUrl = app.updateBaseUrl;
    config.updateChannel = app.updateChannel;
    config.publicKeyPem = app.publicKeyPem;
    config.installDir = app.installDir;
    config.installDirChosen = app.installDirChosen;
    config.cacheDir = app.cacheDir;
    config.customSource = app.customSource;
    config.selfUpdateEnabled = app.selfUpdateEnabled;
    return config;
}

}  // namespace vk
