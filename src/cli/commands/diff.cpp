#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "cli/versiondiff.h"
#include "cli/versions.h"
#include <QDateTime>

namespace sentrel::cli {

namespace {

// -U N or -UN, as diff takes it, taken out of the arguments; the reader of
// the other arguments knows only "--" options.
std::optional<QString> takeContextOption(QStringList &args)
{
    qsizetype end = args.indexOf(QStringLiteral("--"));
    if (end < 0)
        end = args.size();
    std::optional<QString> value;
    for (qsizetype i = 0; i < end;) {
        if (!args[i].startsWith(u"-U")) {
            ++i;
            continue;
        }
        if (value)
            throw UsageError(QStringLiteral("-U given twice"));
        if (args[i].size() > 2) {
            value = args[i].mid(2);
            args.removeAt(i);
            end -= 1;
        } else {
            if (i + 1 >= end)
                throw UsageError(QStringLiteral("option -U needs a value"));
            value = args[i + 1];
            args.remove(i, 2);
            end -= 2;
        }
    }
    return value;
}

// --since as typed, in local time, to the form the versions' local times
// have, so that the two compare as text.
QString sinceLocalTime(const QString &typed)
{
    for (const char *format : {"yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"}) {
        const QDateTime t = QDateTime::fromString(typed, QString::fromLatin1(format));
        if (t.isValid())
            return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    throw UsageError(
        QStringLiteral("--since expects a local time as \"YYYY-MM-DD HH:MM\", not \"%1\"").arg(typed));
}

// Which two versions to compare, as numbers; throws sentrel::Error when the
// URL does not have them.
struct VersionPair {
    int older = 0;
    int newer = 0;
};

VersionPair chosenVersions(const UrlVersions &versions, const QStringList &numbers,
                           const std::optional<QString> &since)
{
    const int newest = versions.count();
    if (newest == 0)
        throw Error(QStringLiteral("No version of %1 is saved yet").arg(versions.url()));
    if (since) {
        const std::optional<int> before = versions.lastTakenBefore(*since);
        if (!before)
            throw Error(QStringLiteral("No version of %1 was saved before %2; the oldest, 1, is from %3")
                            .arg(versions.url(), since->left(16), versions.version(1).localTime));
        return {*before, newest};
    }
    if (numbers.isEmpty()) {
        if (newest < 2)
            throw Error(
                QStringLiteral("%1 has only version 1: nothing to compare it with").arg(versions.url()));
        return {newest - 1, newest};
    }
    const int older = versionNumber(numbers[0]);
    const int newer = numbers.size() > 1 ? versionNumber(numbers[1]) : newest;
    // Checked here, before any text is read, so that the message names the
    // number that was typed.
    versions.version(older);
    versions.version(newer);
    return {older, newer};
}

class DiffCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("diff"); }
    QString synopsis() const override
    {
        return QStringLiteral("diff URL [A [B] | --since TIME] [-U N] [--color=WHEN] [--word-diff]");
    }
    QString summary() const override { return QStringLiteral("show what changed between two versions"); }
    QString details() const override
    {
        return QStringLiteral(
            "Prints the differences of version A of the URL's text against version B as a\n"
            "unified diff, headed \"URL@N (local time)\" for each. The numbers are those\n"
            "history prints. Without A: the version before the newest against the newest;\n"
            "without B: A against the newest.\n"
            "  --since TIME   everything that changed since TIME (local, \"YYYY-MM-DD HH:MM\"):\n"
            "                 the last version saved before TIME against the newest\n"
            "  -U N, --unified N\n"
            "                 N lines of context around each change (default 3)\n"
            "  --color=WHEN   colour the diff: auto (when standard output is a terminal,\n"
            "                 the default), always or never\n"
            "  --word-diff    mark the changed words inside changed lines, [-removed-] and\n"
            "                 {+added+}\n"
            "Equal versions print nothing. Exit code 0 when the versions were compared\n"
            "(changed or not), 1 when the URL has no such version.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        QStringList rest = args;
        std::optional<QString> contextOption = takeContextOption(rest);
        Arguments a(rest);
        if (const std::optional<QString> unified = a.value(QStringLiteral("unified"))) {
            if (contextOption)
                throw UsageError(QStringLiteral("-U and --unified given together"));
            contextOption = unified;
        }
        const std::optional<QString> sinceOption = a.value(QStringLiteral("since"));
        const std::optional<QString> colourOption = a.value(QStringLiteral("color"));
        VersionDiffStyle style;
        style.diff.words = a.flag(QStringLiteral("word-diff"));
        const QStringList positionals = a.positionals();
        if (positionals.isEmpty() || positionals.size() > 3)
            throw UsageError(QStringLiteral("expects a URL and up to two version numbers"));
        const QStringList numbers = positionals.mid(1);
        if (sinceOption && !numbers.isEmpty())
            throw UsageError(QStringLiteral("expects --since or version numbers, not both"));
        // Checked before the store is opened: wrong use reads nothing.
        for (const QString &n : numbers)
            versionNumber(n);
        const std::optional<QString> since =
            sinceOption ? std::optional<QString>(sinceLocalTime(*sinceOption)) : std::nullopt;
        if (contextOption) {
            style.diff.contextLines = toInt(*contextOption, QStringLiteral("-U"));
            if (style.diff.contextLines < 0)
                throw UsageError(QStringLiteral("-U expects 0 or more lines"));
        }
        style.printing.colour = colourWanted(colourOption.value_or(QStringLiteral("auto")), io.out);

        const auto store = openStore(global, FolderUse::MustExist);
        const QString url = listedUrl(positionals.first(), [&](const QString &candidate) {
            return store->lookup(candidate).has_value();
        });
        const UrlVersions versions(url, store->history(url));
        const VersionPair pair = chosenVersions(versions, numbers, since);
        writeText(io.out, versionDiff(*store, versions, pair.older, pair.newer, style));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeDiffCommand()
{
    return std::make_unique<DiffCommand>();
}

} // namespace sentrel::cli
