#include <algorithm>

#include "engine/updater.h"
#include "infra/text.h"

namespace vk {

std::wstring Updater::InstallPathOf(const ReleaseFile& file) const {
    std::wstring relative = Utf8ToWide(file.path);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    return installDir + L"\\" + relative;
}

}  // namespace vk
