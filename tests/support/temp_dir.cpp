#include "support/temp_dir.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "infra/files.h"
#include "infra/handles.h"

namespace vk::test {

namespace {

std::wstring UniqueName() {
    static std::atomic<unsigned> counter{0};
    return L"velkar-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) +
           L"-" + std::to_wstring(counter++);
}

std::wstring WithBackslashes(std::wstring path) {
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

}  // namespace

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, base);
    std::wstring root(base, length);
    if (!root.empty() && root.back() == L'\\') root.pop_back();
    path_ = root + L"\\" + UniqueName();
    CreateDirectories(path_);
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::operator/(const std::wstring& relative) const {
    return path_ + L"\\" + WithBackslashes(relative);
}

void WriteTestFile(const std::wstring& path, const std::string& bytes) {
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos) CreateDirectories(path.substr(0, slash));
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace vk::test
