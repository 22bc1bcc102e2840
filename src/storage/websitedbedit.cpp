#include "storage/storeschema.h"
#include "storage/websitedb.h"
#include "text/error.h"
#include "text/lines.h"

namespace sentrel {

namespace {

// "update WEBSITES set URL=?1, STRIP=?2, ..., CONTENT=NULL, LASTCHANGE=NULL,
// STATUS=NULL where URL=?N;": the new URL, every option column in order,
// then the URL edited. The stored text goes, so the next check starts
// afresh. Made from the column list, so an added option column is written
// without another change here.
QString editStatement()
{
    QString sql = QStringLiteral("update WEBSITES set URL=?1");
    int parameter = 2;
    for (const auto &column : storeschema::OptionColumns)
        sql += QStringLiteral(", %1=?%2").arg(QString::fromUtf16(column.name)).arg(parameter++);
    return sql + QStringLiteral(", CONTENT=NULL, LASTCHANGE=NULL, STATUS=NULL where URL=?%1;").arg(parameter);
}

} // namespace

int WebsiteDb::editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options)
{
    // The write lock from the start: between the test and the change no
    // other program may add the URL.
    StoreBatch batch(*this);
    // A check looks its row up by the trimmed URL, so "http://a/ " and
    // "http://a/" would share one row's checks. The rows being renamed are
    // no rival: only blanks around the URL may change.
    const QStringView wanted = trimmedView(newUrl);
    {
        SqliteStatement rows = connection().prepare(storeschema::AllUrls);
        while (rows.step()) {
            const QString listed = rows.text(0);
            if (listed != targetUrl && trimmedView(listed) == wanted)
                throw Error(QStringLiteral("Already in the list: %1").arg(listed));
        }
    }
    // The history goes with its row: it follows the new URL, and records
    // that the text was reset (before the rename, which it finds by the
    // row's URL as it stands).
    std::vector<qint64> edited;
    {
        SqliteStatement ids = connection().prepare(storeschema::IdsOfUrl);
        ids.bind(1, targetUrl);
        while (ids.step()) {
            bool numeric = false;
            const qint64 id = ids.text(0).toLongLong(&numeric);
            if (numeric)
                edited.push_back(id);
        }
    }
    for (const qint64 id : edited)
        renameHistory(connection(), id, newUrl);
    static const QString statement = editStatement();
    SqliteStatement update = connection().prepare(statement);
    StoredOptionTexts stored = storedFromOptions(options);
    int parameter = 1;
    update.bind(parameter++, newUrl);
    for (const std::optional<QString> *value : inColumnOrder(stored))
        update.bindOrNull(parameter++, *value);
    update.bind(parameter, targetUrl);
    const int changed = update.run();
    for (const qint64 id : edited)
        appendResetMarker(connection(), id, newUrl);
    batch.commit();
    return changed;
}

} // namespace sentrel
