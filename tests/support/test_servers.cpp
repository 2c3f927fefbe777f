#include "support/test_servers.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <sstream>
#include <stdexcept>

#include "support/test_env.h"

namespace vk::test {

namespace {

std::map<std::string, std::string> ReadKeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

ServerUrls LoadServerUrls() {
    auto values = ReadKeyValues(ReadTestEnvFile(L"servers.txt"));
    ServerUrls urls{values["https"], values["http"], values["fault"]};
    if (urls.https.empty() || urls.http.empty() || urls.fault.empty()) {
        throw std::runtime_error("servers.txt in the test environment is incomplete");
    }
    return urls;
}

}  // namespace

const ServerUrls& Servers() {
    static const ServerUrls urls = LoadServerUrls();
    return urls;
}

std::wstring WwwDir() { return TestEnvDir() + L"\\www"; }

std::vector<std::string> AccessLogLines(const std::string& query) {
    std::vector<std::string> found;
    for (int attempt = 0; attempt < 40 && found.empty(); ++attempt) {
        if (attempt > 0) Sleep(50);
        std::istringstream lines(ReadTestEnvFile(L"access.log"));
        std::string line;
        while (std::getline(lines, line)) {
            if (line.find(query + "|") != std::string::npos) found.push_back(line);
        }
    }
    return found;
}

std::string UniqueQuery() {
    static std::atomic<unsigned> counter{0};
    return "?t=" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" +
           std::to_string(counter++);
}

std::string FaultBlob(std::uint64_t size) {
    std::string blob(size, '\0');
    for (std::uint64_t i = 0; i < size; ++i) blob[i] = static_cast<char>(i % 251);
    return blob;
}

}  // namespace vk::test
