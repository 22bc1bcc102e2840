#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"

namespace sentrel::cli {

namespace {

class ListCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("list"); }
    QString synopsis() const override { return QStringLiteral("list"); }
    QString summary() const override { return QStringLiteral("print the watched URLs"); }
    QString details() const override
    {
        return QStringLiteral("One line per URL, in list order: the URL, a tab, the local time of the\n"
                              "last change (yyyy-mm-dd hh:nn:ss, empty before the first saved check),\n"
                              "a tab and the status stored with that check.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        if (!a.positionals().isEmpty())
            throw UsageError(QStringLiteral("expects no arguments"));
        const auto store = openStore(global, FolderUse::MustExist);
        for (const ListedWebsite &w : store->DbLoadWebsites())
            writeLine(io.out, w.url + u'\t' + w.lastChange + u'\t' + w.status);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeListCommand()
{
    return std::make_unique<ListCommand>();
}

} // namespace sentrel::cli
