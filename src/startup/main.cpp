// The launcher's process entry.
#include <windows.h>

#include "infra/handles.h"
#include "infra/text.h"
#include "startup/configuration.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const vk::ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const vk::Configuration config = vk::LoadConfiguration();
    if (!vk::HasUpdateSource(config)) {
        MessageBoxW(nullptr, vk::Utf8ToWide(vk::NoUpdateSourceMessage()).c_str(), L"Velkar", MB_ICONERROR);
        return 1;
    }
    return 0;
}
