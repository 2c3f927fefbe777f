#include "startup/program.h"

#include <windows.h>

#include "infra/paths.h"

namespace vk {

std::wstring ExecutableDirectory() { return ParentFolder(ExecutablePath()); }

std::string LoadRcData(int id) {
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (resource == nullptr) return {};
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const DWORD size = SizeofResource(nullptr, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), size);
}

}  // namespace vk
