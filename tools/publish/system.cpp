#include "system.h"

#include <cerrno>
#include <cstdint>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include <string>
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
    return _wfopen(path.c_str(), wide.c_str());
}

bool FlushToDisk(std::FILE* stream) {
    return std::fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
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

bool FlushToDisk(std::FILE* stream) {
    return std::fflush(stream) == 0 && fsync(fileno(stream)) == 0;
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
