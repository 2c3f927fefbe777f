#pragma once
// The runtime's registry record in the test's Wine prefix, written and removed the way an installation
// leaves it (the 64-bit registry view of the local machine).
#include <cstdint>
#include <optional>

namespace vk::test {

// Writes the given values (Major, Minor, Bld, Rbld); an empty one is left out.
void WriteRuntimeRecord(std::optional<std::uint32_t> major, std::optional<std::uint32_t> minor,
                        std::optional<std::uint32_t> build, std::optional<std::uint32_t> revision);

// Removes the record; a missing record is fine.
void RemoveRuntimeRecord();

// Wine puts its own msvcp140_2.dll and vcruntime140_1.dll, which carry no version resource, in place of
// any file of those names, even one loaded or read by its full path. While this lives, Wine's DLL
// overrides of the prefix prefer the files themselves, as Windows always does.
class NativeRuntimeFiles {
public:
    NativeRuntimeFiles();
    ~NativeRuntimeFiles();
    NativeRuntimeFiles(const NativeRuntimeFiles&) = delete;
    NativeRuntimeFiles& operator=(const NativeRuntimeFiles&) = delete;
};

}  // namespace vk::test
