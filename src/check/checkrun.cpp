#include "check/checkrun.h"
#include "text/error.h"

namespace sentrel {

QString errorMessage(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->message();
    return QString::fromUtf8(e.what());
}

void CheckRuns::reportError(const std::exception &e)
{
    s_.window.showError(errorMessage(e));
}

void CheckRuns::CheckURL1Click()
{
    try {
        checkSelected();
    } catch (const std::exception &e) {
        reportError(e);
    }
}

void CheckRuns::ToolButton1Click()
{
    try {
        checkAll();
    } catch (const std::exception &e) {
        reportError(e);
    }
}

void CheckRuns::checkSelected()
{
    for (int i = 0; i < s_.rows.rowCount(); ++i)
        if (s_.rows.isSelected(i))
            s_.rows.setStatus(i, QString());
    s_.pump.letMessagesThrough();
    s_.changedUrls.clear();
    s_.window.hideContentPanel();

    bool checked = false;
    for (int i = 0; i < s_.rows.rowCount(); ++i) {
        if (!s_.rows.isSelected(i))
            continue;
        checkRow(i);
        checked = true;
    }
    if (!checked) {
        s_.window.beep();
        return;
    }
    s_.window.setStatusText(QString::fromUtf16(runtext::Complete));
    s_.notifier.ActionsUygula(s_.changedUrls);
}

void CheckRuns::checkRow(int row)
{
    s_.checker.CheckURL(row);
    if (s_.observer)
        s_.observer->rowChecked(row);
    s_.pump.letMessagesThrough();
}

void CheckRuns::checkAll()
{
    stop_ = false;
    for (int i = 0; i < s_.rows.rowCount(); ++i)
        s_.rows.setStatus(i, QString());
    s_.changedUrls.clear();
    s_.window.hideContentPanel();

    bool checked = false;
    for (int i = 0; i < s_.rows.rowCount(); ++i) {
        if (stop_)
            continue;
        checkRow(i);
        checked = true;
    }
    if (!checked) {
        s_.window.beep();
        return;
    }
    s_.window.setStatusText(
        QString::fromUtf16(s_.changedUrls.isEmpty() ? runtext::NoChangeDetected : runtext::Complete));
    s_.notifier.ActionsUygula(s_.changedUrls);
}

} // namespace sentrel
