#include "controller/close_rule.h"

#include <windows.h>

#include "infra/language_portable.h"
#include "platform/self_update.h"

namespace vk {

namespace {

// Closing now would cut the launcher's replacement between its steps.
bool ReplacingItself(const AppState& app) {
    return app.state == LauncherState::SelfUpdating || SelfUpdateSwapInProgress();
}

}  // namespace

bool ConfirmClose(AppState& app, Effects& effects) {
    // While the new launcher downloads, a close stops the download, and the swap then never begins.
    if (app.state == LauncherState::SelfUpdating && PreventSelfUpdateSwap()) {
        app.stopRequested.exchange(true);
        return true;
    }
    if (ReplacingItself(app)) return false;
    if (app.state == LauncherState::Updating) {
        const int answer = effects.ShowMessage(
            Localized(L"An update is running. Quit anyway? Downloaded data is kept and resumes next time.",
                      L"正在更新，确定退出吗？已下载的部分会保留，下次打开可继续。"),
            MB_YESNO | MB_ICONQUESTION);
        // While the question was open a self-update may have begun, or the window gone.
        if (answer != IDYES || !effects.WindowExists() || ReplacingItself(app)) return false;
    }
    app.stopRequested.exchange(true);
    return true;
}

}  // namespace vk
