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

namespace vk::test {

// A program running in the background with its output going to a file.
class BackgroundProcess {
public:
    BackgroundProcess(const std::wstring& commandLine, const std::wstring& outputFile);
    ~BackgroundProcess();  // ends the process if it still runs
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    unsigned long id() const { return id_; }
    // The process handle, for waiting on it together with other objects.
    void* handle() const { return process_; }
    bool Running() const;
    void Kill();
    // Waits for the end (at most the given time) and returns the exit code; STILL_ACTIVE when it runs on.
    unsigned long Wait(unsigned long milliseconds);

private:
    void* process_ = nullptr;
    unsigned long id_ = 0;
};

}  // namespace vk::test
