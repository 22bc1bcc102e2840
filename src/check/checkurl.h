#pragma once
#include "check/checkoutcome.h"
#include "check/checkports.h"
#include "check/runports.h"
#include "storage/websiterepository.h"
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

// The check of one row of the URL list: download the page, reduce it to the
// watched text, compare it with the stored text and record the outcome.
namespace sentrel {

class StoreErrorSink;

namespace checktext {
inline constexpr char16_t Ok[] = u"OK";
inline constexpr char16_t Changed[] = u"Changed!";
inline constexpr char16_t EmptyResponse[] = u"Empty Response";
} // namespace checktext

// "yyyy-mm-dd hh:nn:ss", 24-hour, zero-padded, ASCII digits whatever the locale.
QString checkTimeText(const QDateTime &localTime);
// "Loading " + URL + "..."
QString loadingText(const QString &url);
// A failed download's message as the URL's status: a leading "HTTP/1.1 "
// (exactly, letter case counts) is removed; anything else stays whole.
QString downloadErrorStatus(const QString &message);
// check time + " (Changed) " + URL
QString changeLogLine(const QString &checkTime, const QString &url);
// check time + " (Error: " + error text + ") " + URL, the error text put on
// one line (oneLineText)
QString errorLogLine(const QString &checkTime, const QString &errorText, const QString &url);

// Everything a check reads and writes, owned by the caller.
struct CheckServices {
    const UrlListModel &list; // read only: the check's outcome is the caller's to show
    WebsiteRepository &store;
    StoreErrorSink &storeErrors; // failed lookups and saves are reported here, then the check goes on
    CheckObserver &observer;
    const CheckPreferences &preferences;
    EventPump &pump;
    PageLoader &loader;
    const Clock &clock;
    PageReducer *reducer = nullptr; // reducePage on this thread when none
};

class CheckEngine final : public RowChecker {
public:
    explicit CheckEngine(CheckServices services) : s_(services) {}

    // One check of the row `id`: its outcome, also told to the observer
    // (started, then finished) unless the list no longer has the row, which
    // is no check (an outcome with `gone` set, told to no one).
    // A download failure becomes the row's status and a log line, and so
    // does an error of a reduction step (invalid or runaway regular
    // expression, rejected XPath, malformed character reference, a failing
    // stripper, whether raised here or by a reduction made ahead): nothing
    // is saved and the caller's run goes on. A first check (no saved status)
    // saves its text even when it is empty.
    //
    // Messages are let through before the download, and the loader may keep
    // them flowing during it, so rows can change meanwhile: the outcome is
    // the row's, wherever it is by then. A URL that no row holds any more
    // (deleted meanwhile) is not saved, logged or reported (`gone`), so that
    // a deleted URL never comes back into the store; the same holds when the
    // save finds the store row it read gone (deleted or renamed by another
    // program).
    CheckOutcome check(RowId id) override;

    CheckServices &services() { return s_; }

private:
    CheckServices s_;
};

} // namespace sentrel
