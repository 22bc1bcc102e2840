#include "cli/rowprinter.h"
#include "check/checkurl.h"
#include "cli/cliio.h"
#include "text/lines.h"
#include <ostream>

namespace sentrel::cli {

QString tallyText(const CheckTally &tally)
{
    return QStringLiteral("%1 checked, %2 changed, %3 errors")
        .arg(tally.checked)
        .arg(tally.changed)
        .arg(tally.errors);
}

void RowPrinter::rowDone(const QString &status, const QString &url, int pendingSaves, int storeErrors)
{
    const bool saveFailed = storeErrors > storeErrorsSeen_;
    storeErrorsSeen_ = storeErrors;
    // A commit during the check (a due group committed by the lookup) set
    // the count back to 0, so a rise means this row saved into a new group.
    const bool saveWaiting = pendingSaves > pendingAfterLastRow_;
    pendingAfterLastRow_ = pendingSaves;

    ++tally_.checked;
    const bool changed = status == QStringView(checktext::Changed);
    // No status at all: the row was deleted while its page was loading, by
    // another program; no failure of this run.
    const bool succeeded = changed || status == QStringView(checktext::Ok) || status.isEmpty();
    if (changed)
        ++tally_.changed;
    if (!succeeded || saveFailed)
        ++tally_.errors;

    waiting_.push_back({status, url, saveWaiting, saveFailed});
    if (pendingSaves == 0)
        release(true);
}

void RowPrinter::committed(bool durable)
{
    pendingAfterLastRow_ = 0;
    release(durable);
}

void RowPrinter::release(bool durable)
{
    for (const Row &row : waiting_) {
        const bool lost = row.saveFailed || (row.saveWaiting && !durable);
        if (lost) {
            if (!row.saveFailed)
                ++tally_.errors; // counted as a success when its check ended
            writeLine(err_, QStringLiteral("Not saved: ") + row.url);
        } else {
            // One row, one line: a status may span lines ("Socket Error #
            // 111" CR LF "Connection refused").
            writeLine(out_, oneLineText(row.status) + u'\t' + row.url);
            if (changeFollower_ && row.status == QStringView(checktext::Changed))
                changeFollower_(row.url);
        }
    }
    waiting_.clear();
    out_.flush();
}

} // namespace sentrel::cli
