#include "file_io.h"

#include <cerrno>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "system.h"

namespace vk::publish {

fs::path PathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

namespace {

// "cannot <action> <path>: <system text>" for the current errno.
[[noreturn]] void ThrowFileError(const char* action, const fs::path& path) {
    const int error = errno;
    throw std::runtime_error(std::string("cannot ") + action + " " + Utf8Of(path) + ": " +
                             std::generic_category().message(error));
}

}  // namespace

File::File(std::FILE* stream, fs::path path) : stream_(stream), path_(std::move(path)) {
    // The callers read and write in large blocks; a second buffer would only add a copy.
    std::setvbuf(stream_, nullptr, _IONBF, 0);
}

File File::OpenRead(const fs::path& path) {
    std::FILE* stream = OpenStream(path, "rb");
    if (stream == nullptr) ThrowFileError("open", path);
    return File(stream, path);
}

File File::CreateNew(const fs::path& path) {
    std::FILE* stream = OpenStream(path, "wbx");
    if (stream == nullptr) ThrowFileError("create", path);
    return File(stream, path);
}

File::File(File&& other) noexcept : stream_(std::exchange(other.stream_, nullptr)), path_(std::move(other.path_)) {}

File::~File() {
    if (stream_ != nullptr) std::fclose(stream_);
}

void File::Fail(const char* action) const {
    ThrowFileError(action, path_);
}

std::size_t File::Read(char* buffer, std::size_t size) {
    const std::size_t count = std::fread(buffer, 1, size, stream_);
    if (count < size && std::ferror(stream_)) Fail("read");
    return count;
}

void File::Write(const char* data, std::size_t size) {
    if (std::fwrite(data, 1, size, stream_) != size) Fail("write");
}

void File::Finish() {
    if (!FlushToDisk(stream_)) Fail("write");
    const int result = std::fclose(std::exchange(stream_, nullptr));
    if (result != 0) Fail("write");
}

void File::CloseWritten() {
    StartWriteBack(stream_);
    const int result = std::fclose(std::exchange(stream_, nullptr));
    if (result != 0) Fail("write");
}

std::string ReadRequiredFile(const fs::path& path) {
    File file = File::OpenRead(path);
    std::string bytes;
    char block[65536];
    for (std::size_t count; (count = file.Read(block, sizeof block)) > 0;) {
        bytes.append(block, count);
    }
    return bytes;
}

void WriteFileAtomic(const fs::path& path, const std::string& bytes) {
    // A random suffix keeps two writers of the same document from sharing one temporary.
    const auto suffix = std::to_string(std::random_device{}());
    std::string name = ".";
    name += Utf8Of(path.filename());
    name += "." + suffix + ".tmp";
    const fs::path temporary = path.parent_path() / PathFromUtf8(name);
    try {
        File file = File::CreateNew(temporary);
        file.Write(bytes.data(), bytes.size());
        file.Finish();
        fs::rename(temporary, path);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

}  // namespace vk::publish
