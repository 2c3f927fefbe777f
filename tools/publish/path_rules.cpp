#include "path_rules.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/release_path_portable.h"

namespace vk::publish {
namespace {

// Length of the UTF-8 sequence starting at pos, or 0 when it is ill-formed.
std::size_t SequenceLength(const std::string& text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4) return 0;
    char32_t value = lead & (0x7Fu >> length);
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0u) != 0x80u) return 0;
        value = (value << 6) | (next & 0x3Fu);
    }
    static constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = value >= kSmallest[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    return valid ? length : 0;
}

bool IsUtf8(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = SequenceLength(text, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string LauncherRuleProblem(const std::string& path) {
    switch (FaultOfReleasePath(path)) {
        case ReleasePathFault::None: return {};
        case ReleasePathFault::UnderSaved: return "is inside a Saved folder, which belongs to the game";
        case ReleasePathFault::InMetadataFolder: return "clashes with the launcher's metadata folder .vklauncher";
        case ReleasePathFault::Backslash: return "contains a backslash";
        case ReleasePathFault::Colon: return "contains a colon";
        case ReleasePathFault::NotPlainRelative: return "is not a plain relative path";
        case ReleasePathFault::TrailingDotOrBlank: return "has a name ending in a dot or blank, which Windows drops";
        case ReleasePathFault::DeviceName: return "uses a name that Windows reserves for devices";
        case ReleasePathFault::ShortNameForm:
            return "has a name of the form of a Windows short name (such as VKLAUN~1), which can stand for another "
                   "folder";
    }
    return "is not a plain relative path";
}

std::string WindowsSegmentProblem(std::string_view segment) {
    for (const char c : segment) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>\"|?*").find(c) != std::string_view::npos) {
            return "contains a character that Windows does not allow in file names";
        }
    }
    return {};
}

std::string WindowsNameProblem(const std::string& path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string problem = WindowsSegmentProblem(std::string_view(path).substr(start, slash - start));
        if (!problem.empty()) return problem;
        start = slash + 1;
    }
    return {};
}

}  // namespace

std::string ReleasePathProblem(const std::string& path) {
    if (!IsUtf8(path)) return "is not valid UTF-8";
    std::string problem = LauncherRuleProblem(path);
    return problem.empty() ? WindowsNameProblem(path) : problem;
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name.front() == '.') return false;
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '_' || c == '-';
        if (!allowed) return false;
    }
    return true;
}

}  // namespace vk::publish
