#include "system.h"

#ifdef _WIN32
#include <io.h>

#include <string>
#else
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

#endif

}  // namespace vk::publish
