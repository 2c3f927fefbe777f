#include "engine/launcher_version.h"

namespace vk {

const char LauncherVersion[] = "2.4.0";

}  // namespace vk
