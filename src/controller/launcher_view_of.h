#pragma once
// The frame's view record, filled from the launcher record just before a paint.
#include <cstdint>

#include "controller/app_state.h"
#include "ui/launcher_view.h"

namespace vk {

LauncherView ViewOf(const AppState& app, std::uint64_t diskFreeBytes);

}  // namespace vk
