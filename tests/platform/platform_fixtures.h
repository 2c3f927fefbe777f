#pragma once
// The programs of tests/platform/fixtures, as the platform tests find them.
#include <string>

namespace vk::test {

// The full path of a fixture file built beside the tests, e.g. L"successor_exits.exe".
std::wstring FixturePath(const std::wstring& name);

// Its bytes; fails the caller when the fixture is missing.
std::string FixtureBytes(const std::wstring& name);

}  // namespace vk::test
