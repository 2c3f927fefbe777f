#pragma once
// Where the fixture scripts leave data for the tests (servers' addresses, keys, published stores).
#include <string>

namespace vk::test {

// The test environment folder as a Windows path.
std::wstring TestEnvDir();

// The content of a file in the test environment folder; fails the caller when missing.
std::string ReadTestEnvFile(const std::wstring& name);

}  // namespace vk::test
