#pragma once
#include "check/checkports.h"
#include "check/checkstore.h"
#include "check/runports.h"
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
    CheckRows &rows;
    CheckStore &store;
    StoreErrorSink &storeErrors; // failed lookups and saves are reported here, then the check goes on
    CheckDisplay &display;
    const CheckPreferences &preferences;
    EventPump &pump;
    PageLoader &loader;
    const Clock &clock;
    QStringList &changedUrls;       // the run empties it; checks append saved changes
    PageReducer *reducer = nullptr; // reducePage on this thread when none
};

class CheckEngine final : public RowChecker {
public:
    explicit CheckEngine(CheckServices services) : s_(services) {}

    // One check of the row at position `index`; does nothing when there is no
    // such row. Returns when the save and every display update are done.
    // A download failure becomes the row's status and a log line, and so
    // does an error of a reduction step (invalid or runaway regular
    // expression, rejected XPath, malformed character reference, a failing
    // stripper, whether raised here or by a reduction made ahead): nothing
    // is saved and the caller's run goes on. A first check (no saved status)
    // saves its text even when it is empty.
    //
    // Messages are let through before the download, and the loader may keep
    // them flowing during it, so rows can change meanwhile: the cells
    // written afterwards are those of the row at `index` then, and never a
    // row past the end. A URL that no row holds any more (deleted meanwhile)
    // is not saved, logged or reported, so that a deleted URL never comes
    // back into the store; the same holds when the save finds the store row
    // it read gone (deleted or renamed by another program).
    void CheckURL(int index) override;

    CheckServices &services() { return s_; }

private:
    bool stillListed(const QString &url) const;

    CheckServices s_;
};

} // namespace sentrel
