#include "engine/release_path_portable.h"

#include <stdexcept>

#include "infra/language_portable.h"

namespace vk {
namespace {

constexpr char kMetadataFolder[] = ".vklauncher";

bool HasEmptyOrDotSegment(const std::string& path) {
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        const std::string segment = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (segment.empty() || segment == "." || segment == "..") {
            return true;
        }
        if (slash == std::string::npos) {
            return false;
        }
        start = slash + 1;
    }
}

bool IsInMetadataFolder(const std::string& path) {
    return ToLowerAscii(path).starts_with(kMetadataFolder);
}

}  // namespace

ReleasePathFault FaultOfReleasePath(const std::string& path) {
    if (IsUnderSaved(path)) return ReleasePathFault::UnderSaved;
    if (IsInMetadataFolder(path)) return ReleasePathFault::InMetadataFolder;
    if (path.find('\\') != std::string::npos) return ReleasePathFault::Backslash;
    if (path.find(':') != std::string::npos) return ReleasePathFault::Colon;
    if (path.empty() || path.front() == '/' || HasEmptyOrDotSegment(path)) return ReleasePathFault::NotPlainRelative;
    return ReleasePathFault::None;
}

void CheckReleasePath(const std::string& path) {
    if (FaultOfReleasePath(path) != ReleasePathFault::None) {
        throw std::runtime_error(Localized("Release list has an invalid path: " + path, "版本清单包含非法路径：" + path));
    }
}

bool IsUnderSaved(const std::string& path) {
    std::string wrapped = "/";
    wrapped += ToLowerAscii(path);
    wrapped += '/';
    return wrapped.find("/saved/") != std::string::npos;
}

std::string ToLowerAscii(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool IsSha256Hex(const std::string& text) {
    if (text.size() != 64) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

}  // namespace vk
