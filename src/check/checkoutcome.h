#pragma once
#include "uimodel/urllistmodel.h"
#include <QString>
#include <QStringList>

// What a check and a run found, as values: the desktop paints them on its
// list, status bar and log; sentrel-cli prints them.
namespace sentrel {

struct CheckOutcome {
    RowId row = 0;
    QString url; // the row's caption, trimmed, as the check used it
    // The row was deleted while its page loaded, or the save found the
    // URL's store row gone: the outcome belongs nowhere and nothing else
    // below is set.
    bool gone = false;
    QString status;       // the row's new "Status": OK, Changed! or the error
    QString lastChange;   // the check time when the check saved (its new "Last Change"), else ""
    bool changed = false; // a change was saved: the URL is one of the run's changed URLs
    QString logLine;      // the log pane's line; "" when none
};

struct RunOutcome {
    int checked = 0; // rows checked; 0 when the list or the selection was empty
    // The run's changed URLs; a run nested in another one empties the list
    // they share, as the outer run's notifications then show.
    QStringList changedUrls;
    QString statusText; // "Complete" or "No Change Detected"; "" when nothing was checked
    bool nothingChecked() const { return checked == 0; }
};

// Told of every check as it happens: the desktop shows "Loading URL..." and
// then the outcome; sentrel-cli prints the outcome once it is durable.
class CheckObserver {
public:
    virtual ~CheckObserver() = default;
    virtual void checkStarted(RowId row, const QString &url) = 0;
    virtual void checkFinished(const CheckOutcome &outcome) = 0;
};

} // namespace sentrel
