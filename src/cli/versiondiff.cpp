#include "cli/versiondiff.h"
#include "cli/arguments.h"
#include "cli/cliio.h"
#include "storage/websitedb.h"

namespace sentrel::cli {

QString versionDiff(WebsiteDb &store, const UrlVersions &versions, int older, int newer,
                    const VersionDiffStyle &style)
{
    const HistoryEntry &before = versions.version(older);
    const HistoryEntry &after = versions.version(newer);
    if (before.record.id == after.record.id)
        return {};
    const QString oldText = store.snapshotText(before.record.id);
    const QString newText = store.snapshotText(after.record.id);
    UnifiedStyle printing = style.printing;
    printing.words = style.diff.words;
    return unifiedDiff(diffTexts(oldText, newText, style.diff), versions.label(older), versions.label(newer),
                       printing);
}

QString latestChangeDiff(WebsiteDb &store, const QString &url, const std::ostream &out)
{
    const UrlVersions versions(url, store.history(url));
    if (versions.count() < 2)
        return {};
    VersionDiffStyle style;
    style.printing.colour = colourWanted(QStringLiteral("auto"), out);
    return versionDiff(store, versions, versions.count() - 1, versions.count(), style);
}

bool colourWanted(const QString &when, const std::ostream &out)
{
    if (when == u"always")
        return true;
    if (when == u"never")
        return false;
    if (when == u"auto")
        return isTerminal(out);
    throw UsageError(QStringLiteral("--color expects auto, always or never, not \"%1\"").arg(when));
}

} // namespace sentrel::cli
