#include "support/links.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "infra/paths.h"
#include "infra/text.h"

namespace vk::test {

namespace {

// Runs a Linux program in the folder. Wine starts it but hands back no exit code, and the handle does
// not wait for its end, so the caller waits for the effect instead.
void RunLinux(const wchar_t* program, std::wstring commandLine, const std::wstring& folder) {
    // The program starts from a copy of this process: output still buffered would be written twice.
    std::fflush(nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
        throw std::runtime_error("cannot start " + WideToUtf8(program));
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

template <class Done>
void WaitFor(const Done& done, const std::string& what) {
    for (int i = 0; i < 200; ++i) {
        if (done()) return;
        Sleep(25);
    }
    throw std::runtime_error(what);
}

bool IsReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

DirectoryLink::DirectoryLink(std::wstring link, const std::string& target) : link_(std::move(link)) {
    const std::wstring name = FileNameOf(link_);
    RunLinux(L"Z:\\bin\\ln", L"ln -s -- " + Utf8ToWide(target) + L" " + name, ParentFolder(link_));
    WaitFor([&] { return IsReparsePoint(link_); }, "no link appeared at " + WideToUtf8(link_));
}

DirectoryLink::~DirectoryLink() {
    RunLinux(L"Z:\\bin\\rm", L"rm -f -- " + FileNameOf(link_), ParentFolder(link_));
    try {
        WaitFor([&] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; }, "link not removed");
    } catch (const std::runtime_error&) {
        // Left in the temporary folder; the tree clean-up never follows it.
    }
}

PretendLink::PretendLink(std::wstring path)
    : path_(linkedPath(), std::move(path)),
      hook_(scanAttributes, [](const std::wstring& entry, std::uint32_t reported) -> std::uint32_t {
          return entry == linkedPath() ? reported | FILE_ATTRIBUTE_REPARSE_POINT : reported;
      }) {}

std::wstring& PretendLink::linkedPath() {
    static std::wstring path;
    return path;
}

}  // namespace vk::test
