#include "check/checkrun.h"
#include "text/error.h"
#include "text/lines.h"

namespace sentrel {

QString errorMessage(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->message();
    return QString::fromUtf8(e.what());
}

template <typename Checks> RunOutcome CheckRuns::around(const QStringList &urls, Checks checks)
{
    s_.checker.runStarting(urls);
    struct Ended {
        RowChecker &checker;
        ~Ended() { checker.runEnded(); }
    } ended{s_.checker};
    RunOutcome outcome;
    checks(outcome);
    return outcome;
}

void CheckRuns::start()
{
    s_.changedUrls.clear();
    if (s_.starting)
        s_.starting();
}

RunOutcome CheckRuns::checkSelected()
{
    for (const RowId id : s_.selection())
        s_.list.setStatus(id, QString());
    s_.pump.letMessagesThrough();
    start();

    const QList<RowId> selected = s_.list.inListOrder(s_.selection());
    QStringList urls;
    for (const RowId id : selected)
        urls.append(trim(s_.list.url(id)));
    RunOutcome outcome = around(urls, [&](RunOutcome &run) {
        for (const RowId id : selected)
            if (s_.list.contains(id))
                checkRow(id, run);
    });
    return finish(std::move(outcome), runtext::Complete);
}

RunOutcome CheckRuns::checkAll()
{
    stop_ = false;
    for (int i = 0; i < s_.list.count(); ++i)
        s_.list.setStatus(s_.list.idAt(i), QString());
    start();

    QStringList urls;
    for (const QString &caption : s_.list.captions())
        urls.append(trim(caption));
    RunOutcome outcome = around(urls, [&](RunOutcome &run) {
        for (int i = 0; i < s_.list.count(); ++i)
            if (!stop_)
                checkRow(s_.list.idAt(i), run);
    });
    return finish(std::move(outcome),
                  s_.changedUrls.isEmpty() ? runtext::NoChangeDetected : runtext::Complete);
}

void CheckRuns::checkRow(RowId row, RunOutcome &outcome)
{
    const CheckOutcome checked = s_.checker.check(row);
    if (checked.changed)
        s_.changedUrls.append(checked.url);
    ++outcome.checked;
    s_.pump.letMessagesThrough();
}

RunOutcome CheckRuns::finish(RunOutcome outcome, const char16_t *statusText) const
{
    if (outcome.nothingChecked())
        return outcome;
    outcome.changedUrls = s_.changedUrls;
    outcome.statusText = QString::fromUtf16(statusText);
    return outcome;
}

} // namespace sentrel
