#pragma once
// The configuration values the launcher record keeps, in both directions.
#include "controller/app_state.h"
#include "startup/configuration.h"

namespace vk {

void ApplyConfiguration(AppState& app, const Configuration& config);

// What settings.cfg is written from: the record's install folder and whether the player chose it.
Configuration ConfigurationOf(const AppState& app);

}  // namespace vk
