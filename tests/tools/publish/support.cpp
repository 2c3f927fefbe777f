#include "support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "infra/language_portable.h"
#include "keygen.h"

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

ScratchDir::ScratchDir()
    : path_(fs::temp_directory_path() / ("velkar-publish-test-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

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
    static const ScratchDir folder;
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
    const ScratchDir output;
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

}  // namespace vk::publish::test
