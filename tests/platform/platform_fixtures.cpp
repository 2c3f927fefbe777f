#include "platform_fixtures.h"

#include <windows.h>

#include <stdexcept>

#include "infra/files.h"
#include "infra/text.h"

namespace vk::test {

std::wstring FixturePath(const std::wstring& name) { return std::wstring(VELKAR_PLATFORM_FIXTURES) + L"\\" + name; }

std::string FixtureBytes(const std::wstring& name) {
    const std::wstring path = FixturePath(name);
    if (!IsRegularFile(path)) throw std::runtime_error("fixture missing: " + WideToUtf8(path));
    return ReadWholeFile(path);
}

}  // namespace vk::test
