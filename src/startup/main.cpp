// The launcher's process entry.
#include <windows.h>
#include <objbase.h>

#include "infra/language.h"
#include "startup/configuration.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const vk::Configuration config = vk::LoadConfiguration();
    if (!vk::HasUpdateSource(config)) {
        MessageBoxW(nullptr,
                    vk::useEnglish.load() ? L"The launcher has no update settings. Please download it again."
                                          : L"启动器缺少更新配置，请重新下载启动器。",
                    L"Velkar", MB_ICONERROR);
        CoUninitialize();
        return 1;
    }
    CoUninitialize();
    return 0;
}
