#pragma once
// Helpers shared by the publisher tests: game trees, a signing key, and a way
// to run the built tool as a publisher would.
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "command_line.h"
#include "support/temp_dir.h"

namespace vk::publish::test {

namespace fs = std::filesystem;

using vk::test::TempDir;

void WriteBytes(const fs::path& path, const std::string& bytes);
std::string ReadBytes(const fs::path& path);

// One key pair for the whole test program: generating RSA 3072 keys takes a while.
struct TestKeys {
    fs::path privateKey;
    fs::path publicKey;
};
const TestKeys& Keys();

// A key or document made by the OpenSSL command-line tool (tests/support/make-signing-samples):
// "a.key" (RSA 3072, PKCS #8), "a.pub.pem" (its public key, CRLF), "rsa2048.key", "ec.key",
// "document.json" and its signature by a.key, "document.json.sig".
fs::path OpenSslSample(const std::string& name);

// Options for publishing game to store on channel "live" as build "b1" with launch file
// "Velkar.exe".
ReleaseOptions BasicRelease(const fs::path& store, const fs::path& game);

// Publishes a game of these files (path, content) to store on channel as build, its list at
// "releases/<build>.json"; `adjust` changes the options first.
void PublishFiles(const fs::path& store, const std::string& channel, const std::string& build,
                  const std::vector<std::pair<std::string, std::string>>& files,
                  const std::function<void(ReleaseOptions&)>& adjust = {});

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built velkar-publish with the arguments.
ToolResult RunTool(const std::vector<std::string>& arguments);

}  // namespace vk::publish::test
