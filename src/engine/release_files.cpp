#include "engine/updater.h"
#include "infra/paths.h"

namespace vk {

std::wstring Updater::InstallPathOf(const ReleaseFile& file) const {
    return JoinPath(installDir, DiskPathOf(file.path));
}

}  // namespace vk
