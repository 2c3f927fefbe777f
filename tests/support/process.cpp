#include "support/process.h"

#include <windows.h>

#include <stdexcept>

#include "infra/errors.h"
#include "infra/handles.h"

namespace vk::test {

namespace {

// Starts the command line with standard output and error going to `output`.
PROCESS_INFORMATION StartWithOutput(const std::wstring& commandLine, HANDLE output, DWORD flags,
                                    const std::wstring& currentDirectory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info)) {
        ThrowLastError("CreateProcess");
    }
    return info;
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& currentDirectory) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) ThrowLastError("CreatePipe");
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    const PROCESS_INFORMATION info = StartWithOutput(commandLine, writer.get(), CREATE_NO_WINDOW, currentDirectory);
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writer.reset();

    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        result.output.append(buffer, read);
    }
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

}  // namespace vk::test

namespace vk::test {

BackgroundProcess::BackgroundProcess(const std::wstring& commandLine, const std::wstring& outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle output(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) ThrowLastError("CreateFile");
    const PROCESS_INFORMATION info = StartWithOutput(commandLine, output.get(), 0, L"");
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

BackgroundProcess::~BackgroundProcess() {
    if (Running()) Kill();
    CloseHandle(process_);
}

bool BackgroundProcess::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void BackgroundProcess::Kill() {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
}

unsigned long BackgroundProcess::Wait(unsigned long milliseconds) {
    WaitForSingleObject(process_, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace vk::test
