#include "storage/exclusions.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "text/textdecode.h"

namespace sentrel::cli {

namespace {

class ExclusionsCommand : public Command {
public:
    QString name() const override { return QStringLiteral("exclusions"); }
    QString synopsis() const override { return QStringLiteral("exclusions [--set FILE]"); }
    QString summary() const override { return QStringLiteral("print or replace the exclusion list"); }
    QString details() const override
    {
        return QStringLiteral(
            "Prints the exclusion list one entry per line: lines of a checked page that\n"
            "contain one of these texts are ignored. Without an exclusions.txt in the data\n"
            "folder, or with an empty one, the three default entries are printed.\n"
            "--set FILE replaces the list and exclusions.txt with the lines of FILE (\"-\":\n"
            "standard input), written unchanged as UTF-8, then prints the new list. FILE is\n"
            "read as UTF-8, in the encoding its byte order mark names, or as Windows-1252.");
    }

    int run(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const std::optional<QString> setFrom = a.value(QStringLiteral("set"));
        if (!a.positionals().isEmpty())
            throw UsageError(QStringLiteral("expects no arguments"));
        if (setFrom && setFrom->isEmpty())
            throw UsageError(QStringLiteral("--set needs a FILE"));

        QStringList list;
        if (setFrom) {
            // Read first: a file that cannot be read leaves no folder behind.
            const QString text = decodeText(readInput(*setFrom, io.in)).text;
            confirmExclusions(list, dataFolder(global, FolderUse::Create), text);
        } else {
            list = loadExclusions(dataFolder(global, FolderUse::MustExist));
        }
        for (const QString &entry : list)
            writeLine(io.out, entry);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeExclusionsCommand()
{
    return std::make_unique<ExclusionsCommand>();
}

} // namespace sentrel::cli
