#include "infra/language_portable.h"

namespace vk {

std::atomic<bool> useEnglish{false};

std::string Localized(std::string_view english, std::string_view chinese) {
    return std::string(useEnglish.load() ? english : chinese);
}

std::wstring Localized(std::wstring_view english, std::wstring_view chinese) {
    return std::wstring(useEnglish.load() ? english : chinese);
}

}  // namespace vk
