#include "infra/paths.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "infra/handles.h"
#include "infra/text.h"

namespace vk {

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    // A drive root ("D:\") already ends in the separator.
    return folder.ends_with(L'\\') ? folder + name : folder + L"\\" + name;
}

std::wstring TrimmedFolder(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring DiskPathOf(const std::string& releasePath) {
    std::wstring relative = Utf8ToWide(releasePath);
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    return relative;
}

std::string ReleasePathOf(const std::wstring& relativePath) {
    std::string path;
    AppendReleasePathOf(relativePath, path);
    return path;
}

void AppendReleasePathOf(const std::wstring& relativePath, std::string& out) {
    const std::size_t start = out.size();
    AppendUtf8(relativePath, out);
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\\', '/');
}

std::wstring LocalAppDataFolder() {
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
    const UniqueCoTaskMemory owner(folder);
    return SUCCEEDED(result) && folder != nullptr ? std::wstring(folder) : std::wstring();
}

std::wstring ExecutablePath() {
    // The path may be longer than MAX_PATH; a buffer that is too small receives a cut path.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace vk
