#include "support/process.h"

#include <windows.h>

#include <stdexcept>

#include "infra/errors.h"
#include "infra/handles.h"

namespace vk::test {

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& currentDirectory) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) ThrowLastError("CreatePipe");
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info)) {
        ThrowLastError("CreateProcess");
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writer.reset();

    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) result.output.append(buffer, read);
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

}  // namespace vk::test
