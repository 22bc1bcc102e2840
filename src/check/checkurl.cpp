#include "check/checkurl.h"
#include "check/checkrun.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "text/error.h"
#include "text/lines.h"
#include <QLocale>
#include <exception>
#include <optional>

namespace sentrel {

QString checkTimeText(const QDateTime &localTime)
{
    return QLocale::c().toString(localTime, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString loadingText(const QString &url)
{
    return QStringLiteral("Loading ") + url + QStringLiteral("...");
}

QString downloadErrorStatus(const QString &message)
{
    static constexpr QStringView prefix = u"HTTP/1.1 ";
    return message.startsWith(prefix) ? message.mid(prefix.size()) : message;
}

QString changeLogLine(const QString &checkTime, const QString &url)
{
    return checkTime + QStringLiteral(" (Changed) ") + url;
}

QString errorLogLine(const QString &checkTime, const QString &errorText, const QString &url)
{
    // A status may span lines ("Socket Error # 111" CR LF "Connection
    // refused"); the log keeps one line per event.
    return checkTime + QStringLiteral(" (Error: ") + oneLineText(errorText) + QStringLiteral(") ") + url;
}

bool CheckEngine::stillListed(const QString &url) const
{
    const int n = s_.rows.rowCount();
    for (int i = 0; i < n; ++i)
        if (trimmedView(s_.rows.caption(i)) == url)
            return true;
    return false;
}

void CheckEngine::CheckURL(int index)
{
    if (index < 0 || index >= s_.rows.rowCount())
        return;
    const QString url = trim(s_.rows.caption(index));
    s_.display.setStatusText(loadingText(url));

    StoredCheck stored;
    try {
        if (std::optional<StoredCheck> row = s_.store.lookup(url))
            stored = std::move(*row);
    } catch (const StoreError &e) {
        // Go on as for a URL the store does not know.
        s_.storeErrors.showStoreError(storeErrorText(e));
        stored = {};
    }
    const QString checkTime = checkTimeText(s_.clock.localNow());

    s_.pump.letMessagesThrough();

    QString body;
    std::optional<QString> error;
    try {
        body = trim(s_.loader.load(url));
        if (body.isEmpty())
            error = QString::fromUtf16(checktext::EmptyResponse);
    } catch (const Error &e) {
        error = downloadErrorStatus(e.message());
    } catch (const std::exception &e) {
        // Whatever ended the download (a page too large for memory) is that
        // URL's failure, not the run's.
        error = QString::fromUtf8(e.what());
    }

    const auto finish = [&](const QString &status) {
        if (index < s_.rows.rowCount())
            s_.rows.setStatus(index, status);
        s_.display.setStatusText(QString());
    };

    if (!stillListed(url)) {
        // Deleted while the page was loading: its outcome belongs nowhere.
        s_.display.setStatusText(QString());
        return;
    }

    if (error) {
        s_.display.appendLog(errorLogLine(checkTime, *error, url));
        finish(*error);
        return;
    }

    const StripMethod method = s_.preferences.stripMethod();
    const QStringList &exclusions = s_.preferences.exclusions();
    QString fresh;
    try {
        fresh = trim(s_.reducer ? s_.reducer->reduce(url, body, stored.options, method, exclusions)
                                : reducePage(body, stored.options, method, exclusions));
    } catch (const std::exception &e) {
        // A pattern or expression that cannot be used, or a page the
        // stripper cannot read, is this URL's fault: the row shows it like a
        // failed download and the run goes on with the next URL.
        const QString failure = errorMessage(e);
        s_.display.appendLog(errorLogLine(checkTime, failure, url));
        finish(failure);
        return;
    }
    body.clear();

    // A first check saves even an empty text (a keyword or pattern that
    // matches nothing yet), so that the text's later appearance is a change.
    const bool firstCheck = stored.status.isEmpty();
    if (!firstCheck && trimmedView(stored.content) == fresh) {
        finish(QString::fromUtf16(checktext::Ok));
        return;
    }

    const QString status = QString::fromUtf16(firstCheck ? checktext::Ok : checktext::Changed);
    bool saved = true;
    try {
        saved = s_.store.save(url, stored.rowId, fresh, status);
    } catch (const StoreError &e) {
        // The change is still reported; the next check saves it again.
        s_.storeErrors.showStoreError(storeErrorText(e));
    }
    if (!saved) {
        // Deleted or renamed meanwhile, maybe by another program: as above,
        // the outcome belongs nowhere.
        s_.display.setStatusText(QString());
        return;
    }
    if (index < s_.rows.rowCount())
        s_.rows.setLastChange(index, checkTime);
    if (!firstCheck) {
        s_.changedUrls.append(url);
        s_.display.appendLog(changeLogLine(checkTime, url));
    }
    finish(status);
}

} // namespace sentrel
