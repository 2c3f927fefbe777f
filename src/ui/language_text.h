#pragma once
// Texts of the interface in the current language.
#include "infra/language.h"

namespace vk {

inline const wchar_t* Pick(const wchar_t* english, const wchar_t* chinese) {
    return useEnglish.load() ? english : chinese;
}

}  // namespace vk
