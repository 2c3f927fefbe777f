#pragma once
// The commands the window's buttons carry.
namespace vk {

enum Command : int {
    CmdClose = 1,
    CmdMinimize = 2,
    CmdLanguage = 3,
    CmdPrimary = 4,
    CmdInstallFolder = 5,
    CmdRepair = 6,
    CmdPlayOffline = 7,
    CmdFullMap = 8,
    CmdInfo = 9,  // carries only a tooltip: no action, never looks clickable
};
inline constexpr int kCommandLimit = CmdInfo + 1;

}  // namespace vk
