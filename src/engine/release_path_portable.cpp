#include "engine/release_path_portable.h"

#include <algorithm>
#include <stdexcept>

#include "infra/language_portable.h"

namespace vk {
namespace {

constexpr char kMetadataFolder[] = ".vklauncher";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `visit` holds for a segment between slashes (empty segments included).
template <class Visit>
bool AnySegment(std::string_view path, Visit visit) {
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        if (visit(path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start))) {
            return true;
        }
        if (slash == std::string_view::npos) return false;
        start = slash + 1;
    }
}

bool HasEmptyOrDotSegment(const std::string& path) {
    return AnySegment(path,
                      [](std::string_view segment) { return segment.empty() || segment == "." || segment == ".."; });
}

bool HasTrailingDotOrBlank(const std::string& path) {
    return AnySegment(path, [](std::string_view segment) { return segment.ends_with('.') || segment.ends_with(' '); });
}

// Windows takes the part before the first dot, blanks at its end dropped, as the device's name.
bool IsDeviceName(std::string_view segment) {
    std::string_view stem = segment.substr(0, segment.find('.'));
    while (stem.ends_with(' ')) stem.remove_suffix(1);
    for (const std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (EqualIgnoringAsciiCase(stem, device)) return true;
    }
    if (stem.size() < 4 ||
        !(EqualIgnoringAsciiCase(stem.substr(0, 3), "com") || EqualIgnoringAsciiCase(stem.substr(0, 3), "lpt"))) {
        return false;
    }
    // A digit, or a superscript one, two or three (UTF-8).
    const std::string_view number = stem.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// A short name: up to eight characters that end in "~" and digits, then at most one dot and three more.
bool HasShortNameForm(std::string_view segment) {
    const std::size_t dot = segment.find('.');
    const std::string_view base = segment.substr(0, dot);
    const std::size_t tilde = base.rfind('~');
    if (base.size() > 8 || tilde == std::string_view::npos || tilde == 0 || tilde + 1 == base.size()) return false;
    if (!std::all_of(base.begin() + tilde + 1, base.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    return dot == std::string_view::npos ||
           (segment.size() - dot - 1 <= 3 && segment.find('.', dot + 1) == std::string_view::npos);
}

bool IsInMetadataFolder(const std::string& path) {
    const std::string_view folder = kMetadataFolder;
    return path.size() >= folder.size() &&
           EqualIgnoringAsciiCase(std::string_view(path).substr(0, folder.size()), folder);
}

}  // namespace

ReleasePathFault FaultOfReleasePath(const std::string& path) {
    if (IsUnderSaved(path)) return ReleasePathFault::UnderSaved;
    if (IsInMetadataFolder(path)) return ReleasePathFault::InMetadataFolder;
    if (path.find('\\') != std::string::npos) return ReleasePathFault::Backslash;
    if (path.find(':') != std::string::npos) return ReleasePathFault::Colon;
    if (path.empty() || path.front() == '/' || HasEmptyOrDotSegment(path)) return ReleasePathFault::NotPlainRelative;
    if (HasTrailingDotOrBlank(path)) return ReleasePathFault::TrailingDotOrBlank;
    if (AnySegment(path, IsDeviceName)) return ReleasePathFault::DeviceName;
    if (AnySegment(path, HasShortNameForm)) return ReleasePathFault::ShortNameForm;
    return ReleasePathFault::None;
}

void CheckReleasePath(const std::string& path) {
    if (FaultOfReleasePath(path) != ReleasePathFault::None) {
        throw std::runtime_error(Localized("Release list has an invalid path: " + path, "版本清单包含非法路径：" + path));
    }
}

bool IsUnderSaved(std::string_view path) {
    return AnySegment(path, [](std::string_view segment) { return EqualIgnoringAsciiCase(segment, "saved"); });
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t IgnoringAsciiCaseHash::operator()(std::string_view text) const {
    // FNV-1a over the lower-case bytes.
    std::size_t hash = 14695981039346656037ull;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    return hash;
}

std::string ToLowerAscii(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

bool IsHexDigest(const std::string& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
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
