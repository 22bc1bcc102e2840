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

CheckOutcome CheckEngine::check(RowId id)
{
    CheckOutcome outcome;
    outcome.row = id;
    if (!s_.list.contains(id)) {
        outcome.gone = true;
        return outcome;
    }
    const QString url = trim(s_.list.url(id));
    outcome.url = url;
    s_.observer.checkStarted(id, url);
    const auto finish = [&] {
        s_.observer.checkFinished(outcome);
        return outcome;
    };

    WebsiteRecord stored;
    try {
        if (std::optional<WebsiteRecord> row = s_.store.lookup(url))
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

    // Any row holding the URL counts, not only this one: its save is the
    // URL's save (a hash lookup, so a run stays linear in the list's length).
    if (!s_.list.listsUrl(url)) {
        // Deleted while the page was loading: its outcome belongs nowhere.
        outcome.gone = true;
        return finish();
    }

    const auto failed = [&](const QString &failure) {
        outcome.status = failure;
        outcome.logLine = errorLogLine(checkTime, failure, url);
        return finish();
    };
    if (error)
        return failed(*error);

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
        return failed(errorMessage(e));
    }
    body.clear();

    // A first check saves even an empty text (a keyword or pattern that
    // matches nothing yet), so that the text's later appearance is a change.
    const bool firstCheck = stored.status.value_or(QString()).isEmpty();
    if (!firstCheck && trimmedView(stored.content.value_or(QString())) == fresh) {
        outcome.status = QString::fromUtf16(checktext::Ok);
        return finish();
    }

    const QString status = QString::fromUtf16(firstCheck ? checktext::Ok : checktext::Changed);
    bool saved = true;
    try {
        saved = s_.store.DbSaveWebsite(url, fresh, status, stored.rowId);
    } catch (const StoreError &e) {
        // The change is still reported; the next check saves it again.
        s_.storeErrors.showStoreError(storeErrorText(e));
    }
    if (!saved) {
        // Deleted or renamed meanwhile, maybe by another program: as above,
        // the outcome belongs nowhere.
        outcome.gone = true;
        return finish();
    }
    outcome.status = status;
    outcome.lastChange = checkTime;
    if (!firstCheck) {
        outcome.changed = true;
        outcome.logLine = changeLogLine(checkTime, url);
    }
    return finish();
}

} // namespace sentrel
