#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "cli/versions.h"
#include "storage/websiteoptions.h"

namespace sentrel::cli {

namespace {

// The check options of a row as "name: value" lines, named as set's options
// so that a value can be given back to set as it stands. An option that is
// off has nothing after its colon.
QString optionLines(const QString &url, const WebsiteOptions &stored)
{
    const WebsiteOptions o = optionsAsEdited(stored);
    const auto line = [](const char *name, const QString &value) {
        return QString::fromLatin1(name) + u':' + (value.isEmpty() ? QString() : u' ' + value) + u'\n';
    };
    const QString lines =
        o.lineRange ? QStringLiteral("%1:%2").arg(o.lineStart.value_or(0)).arg(o.lineStop.value_or(0))
                    : QString();
    return line("url", url) + line("strip", o.strip ? QStringLiteral("yes") : QStringLiteral("no")) +
           line("lines", lines) + line("keyword", o.keyword.value_or(QString())) +
           line("xpath", o.xpath.value_or(QString())) + line("regex", o.regex.value_or(QString()));
}

class ShowCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("show"); }
    QString synopsis() const override { return QStringLiteral("show URL [--options | --version N]"); }
    QString summary() const override { return QStringLiteral("print the stored text of a URL"); }
    QString details() const override
    {
        return QStringLiteral(
            "Prints the text saved by the URL's last changed check exactly as stored\n"
            "(CR LF line ends, nothing added); nothing before its first check.\n"
            "URL is the listed text, or what add would have stored for it.\n"
            "  --options  print the URL's check options instead, one \"name: value\" line\n"
            "             each, in this order: url, strip (yes or no), lines (START:STOP),\n"
            "             keyword, xpath, regex; an option that is off has nothing after\n"
            "             its colon. The names are those of set's options.\n"
            "  --version N  print version N of the text instead, exactly as it was saved\n"
            "             (the numbers history prints).");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const bool options = a.flag(QStringLiteral("options"));
        const std::optional<QString> versionOption = a.value(QStringLiteral("version"));
        const QStringList urls = a.positionals();
        if (urls.size() != 1)
            throw UsageError(QStringLiteral("expects one URL"));
        if (options && versionOption)
            throw UsageError(QStringLiteral("expects --options or --version, not both"));
        const std::optional<int> version =
            versionOption ? std::optional<int>(versionNumber(*versionOption)) : std::nullopt;
        const auto store = openStore(global, FolderUse::MustExist);
        std::optional<WebsiteRecord> record;
        const QString url = listedUrl(urls.first(), [&](const QString &candidate) {
            record = store->lookup(candidate);
            return record.has_value();
        });
        if (version) {
            const UrlVersions versions(url, store->history(url));
            writeText(io.out, store->snapshotText(versions.version(*version).record.id));
            return 0;
        }
        writeText(io.out, options ? optionLines(url, record->options) : record->content.value_or(QString()));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeShowCommand()
{
    return std::make_unique<ShowCommand>();
}

} // namespace sentrel::cli
