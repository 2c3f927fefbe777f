#include "infra/errors.h"

#include <windows.h>

#include <cstdio>

#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/text.h"

namespace vk {

Cancelled::Cancelled() : std::runtime_error(Localized("Paused", "已暂停")) {}

void ThrowLastError(const std::string& operation) {
    const DWORD code = GetLastError();
    throw std::runtime_error(operation + "：" + WideToUtf8(SystemErrorText(code)));
}

namespace {

bool IsWinHttpCode(unsigned long code) { return code >= 12000 && code <= 12199; }

std::wstring FormatMessageText(unsigned long code) {
    DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    HMODULE winhttp = IsWinHttpCode(code) ? GetModuleHandleW(L"winhttp.dll") : nullptr;
    flags |= winhttp ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(flags, winhttp, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owner(buffer);
    return length != 0 && buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
}

}  // namespace

std::wstring SystemErrorText(unsigned long code) {
    std::wstring text = FormatMessageText(code);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text + L"（" + std::to_wstring(code) + L"）";
}

void CheckStatus(long status, const std::string& operation) {
    if (status >= 0) return;
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(status) & 0xFFFFFFFFul);
    throw std::runtime_error(operation + " 失败（0x" + hex + "）");
}

}  // namespace vk
