#include "check/runcommands.h"

namespace sentrel {

void RunCommands::show(const RunOutcome &outcome)
{
    if (outcome.nothingChecked()) {
        if (s_.beep)
            s_.beep();
        return;
    }
    s_.window.setStatusText(outcome.statusText);
    s_.notifier.ActionsUygula(outcome.changedUrls);
}

void RunCommands::checkAllAndShow()
{
    show(s_.runs.checkAll());
}

void RunCommands::CheckURL1Click()
{
    try {
        show(s_.runs.checkSelected());
    } catch (const std::exception &e) {
        s_.window.showError(errorMessage(e));
    }
}

void RunCommands::ToolButton1Click()
{
    try {
        checkAllAndShow();
    } catch (const std::exception &e) {
        s_.window.showError(errorMessage(e));
    }
}

} // namespace sentrel
