#include "infra/language.h"

namespace vk {

std::atomic<bool> useEnglish{false};

std::string Localized(const char* english, const char* chinese) {
    return useEnglish.load() ? english : chinese;
}

}  // namespace vk
