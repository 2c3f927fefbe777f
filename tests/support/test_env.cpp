#include "support/test_env.h"

#include <stdexcept>

#include "infra/files.h"
#include "infra/text.h"

namespace vk::test {

std::wstring TestEnvDir() { return VELKAR_TEST_ENV_DIR; }

std::string ReadTestEnvFile(const std::wstring& name) {
    const std::wstring path = TestEnvDir() + L"\\" + name;
    if (!IsRegularFile(path)) throw std::runtime_error("test environment lacks " + WideToUtf8(path));
    return ReadWholeFile(path);
}

}  // namespace vk::test
