#include "system.h"

#include <cerrno>
#include <cstdint>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include <string>

#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/text.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vk::publish {

#ifdef _WIN32

std::FILE* OpenStream(const std::filesystem::path& path, const char* mode) {
    const std::string narrow(mode);
    const std::wstring wide(narrow.begin(), narrow.end());
    return _wfopen(LongPathForm(path).c_str(), wide.c_str());
}

std::filesystem::path LongPathForm(const std::filesystem::path& path) {
    static constexpr wchar_t kPrefix[] = L"\\\\?\\";
    const std::wstring absolute = std::filesystem::absolute(path).lexically_normal().make_preferred().native();
    if (absolute.starts_with(kPrefix)) return absolute;
    if (absolute.starts_with(L"\\\\")) return kPrefix + (L"UNC" + absolute.substr(1));
    return kPrefix + absolute;
}

namespace {

EntryKind KindOf(const WIN32_FIND_DATAW& found) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return EntryKind::Link;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryKind::Folder;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0) return EntryKind::Other;
    return EntryKind::File;
}

void ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) {
    const std::wstring pattern = (LongPathForm(folder) / L"*").native();
    const std::string failure = "cannot read the folder " + WideToUtf8(folder.generic_wstring());
    WIN32_FIND_DATAW found{};
    const UniqueFind search(
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) ThrowLastError(failure);
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry{folder / name, KindOf(found),
                          (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow};
        entries.push_back(entry);
        if (entry.kind == EntryKind::Folder) ListFolder(entry.path, entries);
    } while (FindNextFileW(search.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) ThrowLastError(failure);
}

}  // namespace

std::vector<FolderEntry> ListTree(const std::filesystem::path& root) {
    std::vector<FolderEntry> entries;
    ListFolder(root, entries);
    return entries;
}

bool FlushToDisk(std::FILE* stream) {
    return std::fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

void StartWriteBack(std::FILE*) {}  // Windows writes cached data back on its own schedule

bool FlushFilesToDisk(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& path : files) {
        const UniqueHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !FlushFileBuffers(file.get())) return false;
    }
    return true;
}

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

std::unique_ptr<FileLock> FileLock::TryAcquire(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), path.string());
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(file));
}

FileLock::~FileLock() {
    CloseHandle(handle_);
}

#else

std::FILE* OpenStream(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::filesystem::path LongPathForm(const std::filesystem::path& path) {
    return path;
}

std::vector<FolderEntry> ListTree(const std::filesystem::path& root) {
    std::vector<FolderEntry> entries;
    for (const std::filesystem::directory_entry& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::filesystem::file_status status = entry.symlink_status();
        EntryKind kind = EntryKind::Other;
        if (std::filesystem::is_symlink(status)) {
            kind = EntryKind::Link;
        } else if (std::filesystem::is_directory(status)) {
            kind = EntryKind::Folder;
        } else if (std::filesystem::is_regular_file(status)) {
            kind = EntryKind::File;
        }
        entries.push_back({entry.path(), kind, kind == EntryKind::File ? entry.file_size() : 0});
    }
    return entries;
}

bool FlushToDisk(std::FILE* stream) {
    return std::fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

void StartWriteBack(std::FILE* stream) {
    if (std::fflush(stream) == 0) sync_file_range(fileno(stream), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool FlushFilesToDisk(const std::vector<std::filesystem::path>& files) {
    if (files.empty()) return true;
    // One sync of the file system instead of one per file: every file is written back in one go.
    const int folder = open(files.front().parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    const bool synced = syncfs(folder) == 0;
    close(folder);
    return synced;
}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

std::unique_ptr<FileLock> FileLock::TryAcquire(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path.string());
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<void*>(static_cast<std::intptr_t>(fd))));
}

FileLock::~FileLock() {
    close(static_cast<int>(reinterpret_cast<std::intptr_t>(handle_)));
}

#endif

}  // namespace vk::publish
