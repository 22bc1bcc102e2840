#include "check/reduction.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "html/extract.h"
#include "storage/websiteoptions.h"
#include "text/lines.h"

namespace sentrel::cli {

namespace {

// --NAME TEXT or --no-NAME; the two together are wrong use.
std::optional<std::optional<QString>> textOption(Arguments &a, const QString &name)
{
    const std::optional<QString> value = a.value(name);
    const bool off = a.flag(QStringLiteral("no-") + name);
    if (value && off)
        throw UsageError(QStringLiteral("--%1 and --no-%1 exclude each other").arg(name));
    if (off)
        return std::optional<QString>();
    if (value)
        return value;
    return std::nullopt;
}

int lineNumber(QStringView text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0 || n > MaxLineNumber || text.isEmpty() || !text.front().isDigit())
        throw UsageError(
            QStringLiteral("--lines expects START:STOP, whole numbers from 0 to %1").arg(MaxLineNumber));
    return n;
}

// A pattern or expression every check would fail on is wrong use of the
// option, told now rather than at each check.
void refuseUnusable(const std::optional<std::optional<QString>> &given, const QString &name,
                    void (*validate)(QStringView))
{
    if (!given || !*given || (**given).isEmpty())
        return;
    try {
        validate(**given);
    } catch (const Error &e) {
        throw UsageError(QStringLiteral("--%1: %2").arg(name, e.message()));
    }
}

class SetCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("set"); }
    QString synopsis() const override { return QStringLiteral("set URL OPTION..."); }
    QString summary() const override { return QStringLiteral("change a URL and its check options"); }
    QString details() const override
    {
        return QStringLiteral(
            "Works as OK in the options dialog: options not given keep their stored\n"
            "value, and the stored text, last change and status are cleared so that\n"
            "the next check starts afresh. URL is the listed text, or what add would\n"
            "have stored for it; at least one option must be given.\n"
            "  --url NEW                   rename the URL (taken as typed; refused when\n"
            "                              another row holds NEW already)\n"
            "  --strip yes|no              strip the markup before comparing, or not\n"
            "  --lines START:STOP          only lines START to STOP, both kept (0 to\n"
            "                              999999999); lines count from 0, the first is\n"
            "                              line 0; a bound of 0 leaves that side open\n"
            "  --no-lines                  every line\n"
            "  --keyword K | --no-keyword  only the lines holding K, or every line\n"
            "  --xpath X | --no-xpath      only the text of the elements X selects, or all\n"
            "  --regex R | --no-regex      only the matches of the pattern R, or all");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &) override
    {
        Arguments a(args);
        const std::optional<QString> newUrl = a.value(QStringLiteral("url"));
        std::optional<bool> strip;
        if (const auto s = a.value(QStringLiteral("strip"))) {
            if (equalsAsciiCaseless(*s, u"yes"))
                strip = true;
            else if (equalsAsciiCaseless(*s, u"no"))
                strip = false;
            else
                throw UsageError(QStringLiteral("--strip expects yes or no, not \"%1\"").arg(*s));
        }
        const auto lines = textOption(a, QStringLiteral("lines"));
        std::optional<std::pair<int, int>> range;
        if (lines && *lines) {
            const QStringList bounds = (**lines).split(u':');
            if (bounds.size() != 2)
                lineNumber(u""); // the usage message
            range = std::pair(lineNumber(bounds[0]), lineNumber(bounds[1]));
        }
        const auto keyword = textOption(a, QStringLiteral("keyword"));
        const auto xpath = textOption(a, QStringLiteral("xpath"));
        const auto regex = textOption(a, QStringLiteral("regex"));
        refuseUnusable(xpath, QStringLiteral("xpath"), validateXPath);
        refuseUnusable(regex, QStringLiteral("regex"), validateUserRegex);
        const QStringList urls = a.positionals();
        if (urls.size() != 1)
            throw UsageError(QStringLiteral("expects one URL"));
        // Without an option, OK would only clear the stored text: surely not
        // what was meant.
        if (!newUrl && !strip && !lines && !keyword && !xpath && !regex)
            throw UsageError(QStringLiteral("expects at least one option (see set --help)"));

        const auto store = openStore(global, FolderUse::MustExist);
        std::optional<WebsiteRecord> record;
        const QString url = listedUrl(urls.first(), [&](const QString &candidate) {
            record = store->lookup(candidate);
            return record.has_value();
        });
        // As the dialog opens on the record, so options not given are stored
        // as OK would store them unchanged.
        WebsiteOptions o = optionsAsEdited(record->options);
        if (strip)
            o.strip = *strip;
        if (lines) {
            o.lineRange = range.has_value();
            o.lineStart = range ? std::optional<qint64>(range->first) : std::nullopt;
            o.lineStop = range ? std::optional<qint64>(range->second) : std::nullopt;
        }
        const auto apply = [](const std::optional<std::optional<QString>> &given,
                              std::optional<QString> &text) {
            if (given)
                text = *given;
        };
        apply(keyword, o.keyword);
        apply(xpath, o.xpath);
        apply(regex, o.regex);
        store->editUrl(url, newUrl.value_or(url), o);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeSetCommand()
{
    return std::make_unique<SetCommand>();
}

} // namespace sentrel::cli
