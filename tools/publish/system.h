#pragma once
// The few calls that differ between Linux and Windows, kept in one place.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace vk::publish {

// Opens a stream with a C mode string; nullptr on failure with errno set. On Windows the path may be
// longer than the classic 260 characters.
std::FILE* OpenStream(const std::filesystem::path& path, const char* mode);

enum class EntryKind { File, Folder, Link, Other };

struct FolderEntry {
    std::filesystem::path path;  // root / the entry's relative path
    EntryKind kind = EntryKind::Other;
    std::uint64_t size = 0;  // of a file
};

// Every entry under the folder, at any depth and path length; links are listed, never followed.
// (On Windows the C++ library's directory iterator stops at 260 characters.)
std::vector<FolderEntry> ListTree(const std::filesystem::path& root);

// The path as Windows opens it at any length: absolute, with the "\\?\" prefix. Elsewhere the path
// itself.
std::filesystem::path LongPathForm(const std::filesystem::path& path);

// Pushes the stream's written bytes to the disk, so that a rename made afterwards never exposes
// a file whose content is still in flight. False on failure.
bool FlushToDisk(std::FILE* stream);

// Asks the system to start writing the stream's bytes to the disk without waiting for them, so that
// the disk works while the next files are read and hashed. Only a hint; FlushFilesToDisk waits.
void StartWriteBack(std::FILE* stream);

// Waits until the content of every file is on the disk; the files are closed. One wait for all of
// them costs the disk's time once instead of a round trip per file. False on failure.
bool FlushFilesToDisk(const std::vector<std::filesystem::path>& files);

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
