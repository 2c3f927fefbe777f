#pragma once
// The published test game (tests/support/make_test_stores.py): builds "v1" and "v2" on channels of
// the same names in the store "game", and channels that are wrong in one way each.
#include <string>
#include <vector>

#include "engine/updater.h"

namespace vk::test {

// The public key that verifies the test store (SubjectPublicKeyInfo PEM, CRLF).
std::string TestPublicKey();

// An Updater for a channel of the test store, served by nginx over HTTPS unless another base is given.
Updater TestUpdater(const std::string& channel, const std::wstring& installDir, const std::wstring& cacheDir = L"");
Updater TestUpdaterAt(const std::string& baseUrl, const std::string& channel, const std::wstring& installDir,
                      const std::wstring& cacheDir = L"");

// The generated game folder of a build ("v1", "v2").
std::wstring GameTree(const std::wstring& build);

// nginx's access-log lines that contain the text.
std::vector<std::string> AccessLogWith(const std::string& text);

}  // namespace vk::test
