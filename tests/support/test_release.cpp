#include "support/test_release.h"

#include <sstream>

#include "support/test_env.h"
#include "support/test_servers.h"

namespace vk::test {

std::string TestPublicKey() { return ReadTestEnvFile(L"signing\\a.pub.pem"); }

Updater TestUpdaterAt(const std::string& baseUrl, const std::string& channel, const std::wstring& installDir,
                      const std::wstring& cacheDir) {
    return Updater{.baseUrl = baseUrl,
                   .channel = channel,
                   .publicKeyPem = TestPublicKey(),
                   .installDir = installDir,
                   .gameUserDir = installDir + L"-user",
                   .cacheDir = cacheDir};
}

Updater TestUpdater(const std::string& channel, const std::wstring& installDir, const std::wstring& cacheDir) {
    return TestUpdaterAt(Servers().https + "/game", channel, installDir, cacheDir);
}

std::wstring GameTree(const std::wstring& build) { return TestEnvDir() + L"\\games\\" + build; }

std::vector<std::string> AccessLogWith(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream lines(ReadTestEnvFile(L"access.log"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find(text) != std::string::npos) found.push_back(line);
    }
    return found;
}

}  // namespace vk::test
