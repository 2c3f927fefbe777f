#pragma once
// Windows asks every window before a logoff or shutdown. A launcher swap must not be cut between its
// two renames or in the middle of a rollback, so the window refuses while one runs.
#include <windows.h>

namespace vk {

// The window procedure's answer to WM_QUERYENDSESSION: FALSE with a shutdown block reason on the
// window while a swap runs, TRUE (and the reason withdrawn) otherwise.
LRESULT AnswerQueryEndSession(HWND window);

}  // namespace vk
