#include "infra/text.h"

#include <algorithm>
#include <type_traits>

#include <windows.h>

namespace vk {

namespace {

// Text that is all ASCII, as nearly every path is, converts unit for unit without a call into the
// system (a hundred thousand paths of a large game are converted at every check).
template <class Text>
bool IsAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(),
                       [](auto c) { return static_cast<std::make_unsigned_t<decltype(c)>>(c) < 0x80u; });
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    if (IsAscii(text)) return std::wstring(text.begin(), text.end());
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string utf8;
    AppendUtf8(text, utf8);
    return utf8;
}

void AppendUtf8(const std::wstring& text, std::string& out) {
    const std::size_t start = out.size();
    if (IsAscii(text)) {
        out.resize(start + text.size());
        std::transform(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(start),
                       [](wchar_t c) { return static_cast<char>(c); });
        return;
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    out.resize(start + static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data() + start, length, nullptr, nullptr);
}

}  // namespace vk
