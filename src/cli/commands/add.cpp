#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "text/lines.h"
#include "text/textdecode.h"
#include "uimodel/urllistcommands.h"

namespace sentrel::cli {

namespace {

// One URL to add, with where it came from for the message about it.
struct Entry {
    QString url;
    QString source; // "" for an argument, else e.g. "line 3 of list.txt"
};

void appendLines(const QString &path, std::istream &in, std::vector<Entry> &entries)
{
    const QString name = path == u"-" ? QStringLiteral("standard input") : path;
    const QStringList lines = splitLines(decodeText(readInput(path, in)).text);
    for (qsizetype i = 0; i < lines.size(); ++i)
        entries.push_back({lines[i], QStringLiteral("line %1 of %2").arg(i + 1).arg(name)});
}

// Every entry that cannot be a web address is reported; wrong use when there
// is one, before anything is added.
void refuseNonAddresses(const std::vector<Entry> &entries, CliIo &io)
{
    QStringList problems;
    for (const Entry &e : entries) {
        const QString why = webAddressProblem(e.url);
        if (why.isEmpty())
            continue;
        const QString where = e.source.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(e.source);
        problems.append(QStringLiteral("not a web address%1: \"%2\": %3").arg(where, trim(e.url), why));
    }
    if (problems.isEmpty())
        return;
    const QString hint = QStringLiteral("; --raw adds it all the same");
    if (problems.size() == 1)
        throw UsageError(problems.first() + hint);
    for (const QString &p : problems)
        writeLine(io.err, QStringLiteral("sentrel-cli add: ") + p);
    throw UsageError(QStringLiteral("%1 entries are not web addresses").arg(problems.size()) + hint);
}

class AddCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("add"); }
    QString synopsis() const override { return QStringLiteral("add [--raw] [--file FILE] URL|-..."); }
    QString summary() const override { return QStringLiteral("add URLs to the watched list"); }
    QString details() const override
    {
        return QStringLiteral("Each URL is trimmed and gets \"http://\" in front unless it starts with\n"
                              "\"http://\" or \"https://\". A URL already listed with the same text (letter\n"
                              "case counts) is skipped. Prints every URL added, as it was stored, and on\n"
                              "stderr how many were added and how many were listed already.\n"
                              "Text that cannot be a web address (a control character or a blank inside,\n"
                              "a scheme other than http or https such as \"ftp:\" or \"file:\", no host) is\n"
                              "wrong use, and nothing is added.\n"
                              "  -            read URLs from standard input, one a line\n"
                              "  --file FILE  read URLs from FILE, one a line, after the URLs given; blank\n"
                              "               lines are skipped; FILE is read as UTF-8, in the encoding its\n"
                              "               byte order mark names, or as Windows-1252\n"
                              "  --raw        add any text that is not blank, as the desktop program's\n"
                              "               Add URLs dialog does");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const bool raw = a.flag(QStringLiteral("raw"));
        const std::optional<QString> file = a.value(QStringLiteral("file"));
        if (file && file->isEmpty())
            throw UsageError(QStringLiteral("--file needs a FILE"));
        const QStringList given = a.positionals();
        if (given.isEmpty() && !file)
            throw UsageError(QStringLiteral("expects at least one URL, \"-\" or --file FILE"));

        std::vector<Entry> entries;
        for (const QString &url : given) {
            if (url == u"-")
                appendLines(url, io.in, entries);
            else
                entries.push_back({url, QString()});
        }
        if (file)
            appendLines(*file, io.in, entries);
        if (!raw)
            refuseNonAddresses(entries, io);

        const auto store = openStore(global, FolderUse::Create);
        UrlListModel rows;
        listStoredUrls(rows, *store);
        CliStoreErrors errors(io.err);
        QStringList added;
        int listed = 0;
        {
            // One transaction for all of them: one disk sync instead of one
            // per URL. Nothing is reported as added before it is durable.
            StoreBatch batch(*store);
            for (const Entry &e : entries) {
                const int failedBefore = errors.count();
                if (const std::optional<RowId> row = Ekle(e.url, rows, *store, errors)) {
                    if (errors.count() == failedBefore)
                        added.append(rows.url(*row));
                } else if (!trimmedView(e.url).isEmpty()) {
                    ++listed;
                }
            }
            batch.commit();
        }
        for (const QString &url : added)
            writeLine(io.out, url);
        writeLine(io.err, QStringLiteral("%1 added, %2 already listed").arg(added.size()).arg(listed));
        return errors.count() == 0 ? 0 : 1;
    }
};

} // namespace

std::unique_ptr<Command> makeAddCommand()
{
    return std::make_unique<AddCommand>();
}

} // namespace sentrel::cli
