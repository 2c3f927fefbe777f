#pragma once

namespace vk {

// This launcher's own version: compared with a release's minimum and with offered launchers.
// Defined in a translation unit of its own, so that a program linking another definition first (a
// launcher built to look older, for testing its self-update) replaces it at link time.
extern const char LauncherVersion[];

}  // namespace vk
