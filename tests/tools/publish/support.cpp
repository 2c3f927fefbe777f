#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include "infra/handles.h"
#include "support/test_env.h"
#else
#include <sys/wait.h>
#endif

#include "file_io.h"
#include "infra/language_portable.h"
#include "keygen.h"
#include "release.h"

namespace vk::publish::test {
namespace {

// The tool speaks English, so its tests do too.
class EnglishEnvironment : public ::testing::Environment {
public:
    void SetUp() override { useEnglish = true; }
};
[[maybe_unused]] const ::testing::Environment* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new EnglishEnvironment);

}  // namespace

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

const TestKeys& Keys() {
    static const TempDir folder;
    static const TestKeys keys = [] {
        TestKeys made{folder / "signing-private.pem", folder / "signing-public.pem"};
        WriteNewKeyPair({made.privateKey, made.publicKey});
        return made;
    }();
    return keys;
}

ReleaseOptions BasicRelease(const fs::path& store, const fs::path& game) {
    ReleaseOptions options;
    options.store = store;
    options.game = game;
    options.key = Keys().privateKey;
    options.channel = "live";
    options.buildId = "b1";
    options.version = "1.0.0";
    options.launchPath = "Velkar.exe";
    options.releasePath = "releases/b1.json";
    return options;
}

void PublishFiles(const fs::path& store, const std::string& channel, const std::string& build,
                  const std::vector<std::pair<std::string, std::string>>& files,
                  const std::function<void(ReleaseOptions&)>& adjust) {
    const TempDir game;
    for (const auto& [path, content] : files) WriteBytes(game / path, content);
    ReleaseOptions options = BasicRelease(store, game.Path());
    options.channel = channel;
    options.buildId = build;
    options.releasePath = "releases/" + build + ".json";
    if (adjust) adjust(options);
    PublishRelease(options);
}

#ifdef _WIN32

// Under Wine the samples come from the test fixture, which made them with the host's OpenSSL.
fs::path OpenSslSample(const std::string& name) {
    return fs::path(vk::test::TestEnvDir()) / "signing" / name;
}

namespace {

// Appends a blank and the word quoted as CommandLineToArgvW reads it back.
void AppendQuoted(std::wstring& command, const std::wstring& word) {
    command += L" \"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        command.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        command += c;
    }
    command.append(2 * backslashes, L'\\');
    command += L'"';
}

UniqueHandle InheritableFile(const fs::path& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle file(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("cannot open " + path.string());
    return file;
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& arguments) {
    const TempDir output;
    std::wstring command = L"velkar-publish";
    for (const std::string& argument : arguments) AppendQuoted(command, PathFromUtf8(argument).wstring());
    ToolResult result;
    {
        const UniqueHandle input = InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
        const UniqueHandle out = InheritableFile(output / "out", GENERIC_WRITE, CREATE_ALWAYS);
        const UniqueHandle err = InheritableFile(output / "err", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION started{};
        const std::wstring program = PathFromUtf8(VELKAR_PUBLISH_EXE).wstring();
        if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &started)) {
            throw std::runtime_error("cannot start " + std::string(VELKAR_PUBLISH_EXE));
        }
        const UniqueHandle process(started.hProcess);
        const UniqueHandle thread(started.hThread);
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        result.exitCode = static_cast<int>(code);
    }
    result.out = ReadBytes(output / "out");
    result.err = ReadBytes(output / "err");
    return result;
}

#else

// Made by the test run's fixture (tools/CMakeLists.txt).
fs::path OpenSslSample(const std::string& name) {
    return fs::path(VELKAR_SIGNING_SAMPLES_DIR) / name;
}

namespace {

// Appends a blank and the word in single quotes, safe for the shell whatever it holds.
void AppendQuoted(std::string& command, const std::string& word) {
    command += " '";
    for (const char c : word) {
        if (c == '\'') {
            command += "'\\''";
        } else {
            command += c;
        }
    }
    command += '\'';
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& arguments) {
    const TempDir output;
    std::string command;
    AppendQuoted(command, VELKAR_PUBLISH_EXE);
    for (const std::string& argument : arguments) AppendQuoted(command, argument);
    command += " </dev/null >";
    AppendQuoted(command, (output / "out").string());
    command += " 2>";
    AppendQuoted(command, (output / "err").string());
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(output / "out");
    result.err = ReadBytes(output / "err");
    return result;
}

#endif

}  // namespace vk::publish::test
