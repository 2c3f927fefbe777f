#include "support/temp_dir.h"

#include <atomic>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include <stdexcept>

#include "infra/files.h"
#include "infra/handles.h"
#endif

namespace vk::test {

namespace {

std::string UniqueName() {
    static std::atomic<unsigned> counter{0};
    return "velkar-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
}

}  // namespace

TempDir::TempDir() : path_(std::filesystem::temp_directory_path() / UniqueName()), wide_(path_.wstring()) {
    std::filesystem::create_directories(path_);
}

std::wstring TempDir::operator/(const std::wstring& relative) const {
    constexpr wchar_t separator = std::filesystem::path::preferred_separator;
    std::wstring path = wide_ + separator + relative;
    for (std::size_t i = wide_.size(); i < path.size(); ++i) {
        if (path[i] == L'/' || path[i] == L'\\') path[i] = separator;
    }
    return path;
}

#ifdef _WIN32

TempDir::~TempDir() { RemoveTree(wide_); }

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

#else

// Links are removed, never followed.
TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

#endif

}  // namespace vk::test
