#pragma once
// A fresh, empty folder for one test, removed with its content afterwards.
#include <string>

namespace vk::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + relative (relative may use "/" or "\").
    std::wstring operator/(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// Writes a file, creating its folders; throws on failure.
void WriteTestFile(const std::wstring& path, const std::string& bytes);

// Deletes a tree. Never follows links: a link entry is left in place for the test that made it.
void RemoveTree(const std::wstring& path);

}  // namespace vk::test
