#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "cli/versions.h"
#include "text/lines.h"
#include <algorithm>

namespace sentrel::cli {

namespace {

// "+A -R" against the version before; blank when the store does not know.
QString countsText(const SnapshotRecord &r)
{
    if (!r.added || !r.removed)
        return {};
    return QStringLiteral("+%1 -%2").arg(*r.added).arg(*r.removed);
}

// One line per entry, newest first, the columns aligned.
QString historyLines(const UrlVersions &versions)
{
    qsizetype numberWidth = 1;
    qsizetype statusWidth = 0;
    for (const HistoryEntry &e : versions.entries()) {
        if (!e.number)
            continue;
        numberWidth = std::max(numberWidth, QString::number(*e.number).size());
        statusWidth = std::max(statusWidth, oneLineText(e.record.status).size());
    }
    QString text;
    for (const HistoryEntry &e : versions.entries()) {
        const QString number = e.number ? QString::number(*e.number) : QStringLiteral("-");
        const QStringList columns =
            e.number
                ? QStringList{number.rightJustified(numberWidth), e.localTime,
                              oneLineText(e.record.status).leftJustified(statusWidth), countsText(e.record)}
                : QStringList{number.rightJustified(numberWidth), e.localTime,
                              QStringLiteral("options edited, text reset")};
        QString line = columns.join(QStringLiteral("  "));
        // The last column may be blank; no spaces trail the line then.
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    return text;
}

class HistoryCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("history"); }
    QString synopsis() const override { return QStringLiteral("history URL"); }
    QString summary() const override { return QStringLiteral("list the saved versions of a URL's text"); }
    QString details() const override
    {
        return QStringLiteral(
            "Prints one line per saved version, newest first: its number (1 is the oldest\n"
            "version kept; diff and show --version take these numbers), the local time it\n"
            "was saved, its status, and the lines added and removed since the version\n"
            "before (\"+A -R\"; blank when not known). A version is saved at a URL's first\n"
            "check and at every change. A line \"-  TIME  options edited, text reset\" marks\n"
            "an edit of the URL's check options; it has no number. Nothing is printed\n"
            "before the first check.\n"
            "URL is the listed text, or what add would have stored for it.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        const QStringList urls = Arguments(args).positionals();
        if (urls.size() != 1)
            throw UsageError(QStringLiteral("expects one URL"));
        const auto store = openStore(global, FolderUse::MustExist);
        const QString url = listedUrl(
            urls.first(), [&](const QString &candidate) { return store->lookup(candidate).has_value(); });
        writeText(io.out, historyLines(UrlVersions(url, store->history(url))));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeHistoryCommand()
{
    return std::make_unique<HistoryCommand>();
}

} // namespace sentrel::cli
