#pragma once
// Runs a program and collects what it prints, for tests that need a whole process.
#include <string>

namespace vk::test {

struct ProcessResult {
    unsigned long exitCode = 0;
    std::string output;  // standard output and standard error together
};

// Runs the command line with the given current directory (empty: this process's) and waits.
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& currentDirectory = L"");

}  // namespace vk::test
