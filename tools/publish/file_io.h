#pragma once
// Files as the publisher tool reads and writes them: UTF-8 names, streams that close themselves,
// and documents that are replaced whole.
#include <cstdio>
#include <filesystem>
#include <string>

namespace vk::publish {

namespace fs = std::filesystem;

// Paths given on the command line and release paths are UTF-8.
fs::path PathFromUtf8(const std::string& text);
// The path with forward slashes, as UTF-8 bytes.
std::string Utf8Of(const fs::path& path);

class File {
public:
    static File OpenRead(const fs::path& path);
    // Creates the file; fails when it already exists.
    static File CreateNew(const fs::path& path);

    File(File&& other) noexcept;
    File& operator=(File&&) = delete;
    ~File();

    // Up to size bytes; 0 at the end of the file.
    std::size_t Read(char* buffer, std::size_t size);
    void Write(const char* data, std::size_t size);
    // Flushes to the disk and closes; the file is complete once this returns.
    void Finish();
    // Closes without waiting for the disk, which starts writing the bytes back; FlushFilesToDisk
    // (system.h) later waits for them.
    void CloseWritten();

private:
    File(std::FILE* stream, fs::path path);
    [[noreturn]] void Fail(const char* action) const;

    std::FILE* stream_;
    fs::path path_;
};

// The whole content; throws "cannot open <path>: <reason>" when the file cannot be read. (The
// launcher's ReadWholeFile answers a missing file with an empty text instead.)
std::string ReadRequiredFile(const fs::path& path);

// Replaces the file through a temporary beside it and a rename, so readers see the old or the
// new content, never a mix; the folder must exist, as for the launcher's WriteFileAtomic.
void WriteFileAtomic(const fs::path& path, const std::string& bytes);

}  // namespace vk::publish
