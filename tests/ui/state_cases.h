#pragma once
// What each launcher state shows, in both languages, for the views of ViewInState.
#include <vector>

#include "ui/canvas.h"
#include "ui/launcher_state.h"

namespace vk::test {

struct StateCase {
    LauncherState state;
    const char* name;  // for file names
    const wchar_t* titleEn;
    const wchar_t* buttonEn;
    const wchar_t* detailEn;
    const wchar_t* titleZh;
    const wchar_t* buttonZh;
    const wchar_t* detailZh;
    Color dot;
    Color strip;
    std::vector<int> commands;  // registered in painting order, tooltip-only entries left out
    bool primaryEnabled;
    bool repairEnabled;
    bool folderEnabled;
};

extern const std::vector<StateCase> kStateCases;

}  // namespace vk::test
