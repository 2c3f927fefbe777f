// velkar-update: the launcher's update engine without a window, for automation and QA machines.
#include <vector>

#include "console.h"
#include "headless.h"

int wmain(int argc, wchar_t** argv) {
    vk::headless::InstallStopHandler();
    const int code = vk::headless::RunHeadless(std::vector<std::wstring>(argv + 1, argv + argc));
    vk::headless::WorkFinished();
    return code;
}
