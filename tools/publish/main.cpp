// velkar-publish: produces, signs, checks and prunes what the update server serves.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "infra/language_portable.h"

namespace {

int Main(const std::vector<std::string>& arguments) {
    // Messages of the code shared with the launcher are bilingual; publishers read English.
    vk::useEnglish = true;
    vk::publish::Command command;
    try {
        command = vk::publish::ParseCommandLine(arguments);
    } catch (const vk::publish::UsageError& error) {
        std::fprintf(stderr, "velkar-publish: %s\n\n%s", error.what(), vk::publish::kUsage);
        return 2;
    }
    try {
        return vk::publish::RunCommand(command);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velkar-publish: %s\n", error.what());
        return 1;
    }
}

}  // namespace

#ifdef _WIN32
// Wide arguments carry every file name; the tool works in UTF-8 internally.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::u8string text = std::filesystem::path(argv[i]).u8string();
        arguments.emplace_back(text.begin(), text.end());
    }
    return Main(arguments);
}
#else
int main(int argc, char** argv) {
    return Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
