#include "platform/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cwchar>

#include "infra/handles.h"

namespace vk {

namespace {

// Leading blanks and a sign are accepted, as the C library reads numbers; no process has a negative id.
unsigned long ProcessIdFrom(const wchar_t* text) {
    const long long value = std::wcstoll(text, nullptr, 10);
    return value > 0 && value <= UINT32_MAX ? static_cast<unsigned long>(value) : 0;
}

}  // namespace

unsigned long SelfUpdatedProcessId(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    const UniqueLocalMemory owned(arguments);
    if (arguments == nullptr) return 0;
    unsigned long id = 0;
    for (int i = 1; i + 1 < count; ++i) {
        if (std::wcscmp(arguments[i], kSelfUpdatedOption) == 0) id = ProcessIdFrom(arguments[i + 1]);
    }
    return id;
}

}  // namespace vk
