#include "check/outcomepainter.h"
#include "check/checkurl.h"

namespace sentrel {

void OutcomePainter::checkStarted(RowId, const QString &url)
{
    display_.setStatusText(loadingText(url));
}

void OutcomePainter::checkFinished(const CheckOutcome &outcome)
{
    if (!outcome.gone) {
        if (!outcome.lastChange.isEmpty())
            list_.setLastChange(outcome.row, outcome.lastChange);
        if (!outcome.logLine.isEmpty())
            display_.appendLog(outcome.logLine);
        list_.setStatus(outcome.row, outcome.status);
    }
    display_.setStatusText(QString());
}

} // namespace sentrel
