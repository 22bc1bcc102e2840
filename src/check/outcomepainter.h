#pragma once
#include "check/checkoutcome.h"
#include "check/checkports.h"

namespace sentrel {

// Shows each check on the URL list's model, the status bar and the log: the
// status bar says what is loading; the finished check's cells go to its row
// (none when it is gone), its line to the log, and the status bar empties.
class OutcomePainter final : public CheckObserver {
public:
    OutcomePainter(UrlListModel &list, CheckDisplay &display) : list_(list), display_(display) {}
    void checkStarted(RowId row, const QString &url) override;
    void checkFinished(const CheckOutcome &outcome) override;

private:
    UrlListModel &list_;
    CheckDisplay &display_;
};

} // namespace sentrel
