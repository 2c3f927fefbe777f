#include "platform/session_end.h"

#include "infra/language_portable.h"
#include "platform/self_update.h"

namespace vk {

LRESULT AnswerQueryEndSession(HWND window) {
    if (!SelfUpdateSwapInProgress()) {
        ShutdownBlockReasonDestroy(window);
        return TRUE;
    }
    const std::wstring reason = Localized(L"Velkar is replacing its launcher. This takes a few seconds.",
                                          L"Velkar 正在更新启动器，请稍候几秒。");
    ShutdownBlockReasonCreate(window, reason.c_str());
    return FALSE;
}

}  // namespace vk
