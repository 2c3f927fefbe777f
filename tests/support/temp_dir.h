#pragma once
// A fresh, empty folder for one test, removed with its content afterwards. The launcher's tests and
// the publisher's, in both trees, use the same one.
#include <filesystem>
#include <string>

namespace vk::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The same folder as the launcher's code takes it: wide, with the system's separators.
    const std::wstring& path() const { return wide_; }
    // path() + separator + relative (relative may use "/" or "\").
    std::wstring operator/(const std::wstring& relative) const;
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
    std::wstring wide_;
};

#ifdef _WIN32
// Writes a file, creating its folders; throws on failure.
void WriteTestFile(const std::wstring& path, const std::string& bytes);

// Deletes a tree. Never follows links: a link entry is left in place for the test that made it.
void RemoveTree(const std::wstring& path);
#endif

}  // namespace vk::test
