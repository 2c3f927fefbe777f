#pragma once
// The system's folder picker.
#include <windows.h>

#include <string>

namespace vk {

// Shows the file-open dialog in folder mode, owned by the window, on the interface thread's COM
// apartment. The picked file-system folder, or empty when cancelled or when the dialog is unavailable.
std::wstring PickFolderWithDialog(HWND owner, const std::wstring& title);

}  // namespace vk
