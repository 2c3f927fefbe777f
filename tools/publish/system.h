#pragma once
// The few calls that differ between Linux and Windows, kept in one place.
#include <cstdio>
#include <filesystem>

namespace vk::publish {

// Opens a stream with a C mode string; nullptr on failure with errno set.
std::FILE* OpenStream(const std::filesystem::path& path, const char* mode);

// Pushes the stream's written bytes to the disk, so that a rename made afterwards never exposes
// a file whose content is still in flight. False on failure.
bool FlushToDisk(std::FILE* stream);

// True when progress lines on stderr would reach a person rather than a log.
bool StderrIsTerminal();

}  // namespace vk::publish
