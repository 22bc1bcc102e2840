#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"

namespace sentrel::cli {

namespace {

class ShowCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("show"); }
    QString synopsis() const override { return QStringLiteral("show URL"); }
    QString summary() const override { return QStringLiteral("print the stored text of a URL"); }
    QString details() const override
    {
        return QStringLiteral("Prints the text saved by the URL's last changed check exactly as stored\n"
                              "(CR LF line ends, nothing added); nothing before its first check.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const QStringList urls = a.positionals();
        if (urls.size() != 1)
            throw UsageError(QStringLiteral("expects one URL"));
        const auto store = openStore(global);
        const std::optional<StoreRow> row = store->lookupRow(urls.first());
        if (!row)
            throw Error(QStringLiteral("Not in the list: %1").arg(urls.first()));
        writeText(io.out, row->text(u"CONTENT"));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeShowCommand()
{
    return std::make_unique<ShowCommand>();
}

} // namespace sentrel::cli
