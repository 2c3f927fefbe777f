#pragma once
// The few calls that differ between Linux and Windows, kept in one place.
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vk::publish {

// Opens a stream with a C mode string; nullptr on failure with errno set.
std::FILE* OpenStream(const std::filesystem::path& path, const char* mode);

// Pushes the stream's written bytes to the disk, so that a rename made afterwards never exposes
// a file whose content is still in flight. False on failure.
bool FlushToDisk(std::FILE* stream);

// True when progress lines on stderr would reach a person rather than a log.
bool StderrIsTerminal();

// An exclusive lock on a file, seen by every process on the machine and released when the object
// is destroyed or the process ends, however it ends.
class FileLock {
public:
    // Creates the file if it does not exist; nullptr while another holder has the lock. Throws when
    // the file cannot be opened.
    static std::unique_ptr<FileLock> TryAcquire(const std::filesystem::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace vk::publish
