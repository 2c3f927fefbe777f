#pragma once
// Links in the file system for the tests of code that must not follow one.
//
// Wine reports a reparse point only for a Linux symbolic link to a folder (CreateSymbolicLinkW does
// nothing, a link to a file reads as a plain file), so a real link is made by the Linux `ln`, and
// anything else is presented through the engine's attribute hook. Under Wine, deleting through a link
// can delete its target: a test points a link only at a folder of scratch victims inside its own
// temporary folder.
#include <string>

#include "engine/links.h"
#include "support/scoped_override.h"

namespace vk::test {

// A Linux symbolic link at `link` (a Windows path whose folder exists) to the folder `target`, given
// relative to the link's folder ("../victims"). Removed again, the link alone, when it goes away.
class DirectoryLink {
public:
    DirectoryLink(std::wstring link, const std::string& target);
    ~DirectoryLink();
    DirectoryLink(const DirectoryLink&) = delete;
    DirectoryLink& operator=(const DirectoryLink&) = delete;

private:
    std::wstring link_;
};

// Presents one path as a link through the engine's attribute hook, for links Wine cannot create.
class PretendLink {
public:
    explicit PretendLink(std::wstring path);

private:
    static std::wstring& linkedPath();
    ScopedOverride<std::wstring> path_;
    ScopedOverride<ScanAttributesHook> hook_;
};

}  // namespace vk::test
