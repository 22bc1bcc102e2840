#include "storage/storeoptions.h"
#include "storage/websitedb.h"
#include "storage/websitedbsql.h"
#include "text/error.h"
#include "text/lines.h"

namespace sentrel {

int WebsiteDb::editUrl(const QString &targetUrl, const QString &newUrl, const EditUrlOptions &options)
{
    // The write lock from the start: between the test and the change no
    // other program may add the URL.
    StoreBatch batch(*this);
    // A check looks its row up by the trimmed URL, so "http://a/ " and
    // "http://a/" would share one row's checks. The rows being renamed are
    // no rival: only blanks around the URL may change.
    const QStringView wanted = trimmedView(newUrl);
    {
        SqliteStatement rows = connection().prepare(websitesql::urls());
        while (rows.step()) {
            const QString listed = rows.text(0);
            if (listed != targetUrl && trimmedView(listed) == wanted)
                throw Error(QStringLiteral("Already in the list: %1").arg(listed));
        }
    }
    const int changed = connection().execute(editOptionsUpdateSql(newUrl, options, targetUrl));
    batch.commit();
    return changed;
}

} // namespace sentrel
