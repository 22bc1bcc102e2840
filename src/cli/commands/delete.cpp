#include "cli/commands.h"
#include "cli/storecommand.h"

namespace sentrel::cli {

namespace {

class DeleteCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("delete"); }
    QString synopsis() const override { return QStringLiteral("delete URL..."); }
    QString summary() const override { return QStringLiteral("stop watching URLs"); }
    QString details() const override
    {
        return QStringLiteral("Removes every row whose URL equals URL exactly, with its stored text and\n"
                              "options. A URL that is not listed is reported (exit 1); the others are\n"
                              "still removed.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        const QStringList urls = requiredUrls(args);

        const auto store = openStore(global);
        CliUrlRows rows = CliUrlRows::fromStore(*store);
        int missing = 0;
        for (const QString &url : urls) {
            bool found = false;
            for (int i = 0; i < rows.rowCount(); ++i) {
                if (rows.caption(i) == url) {
                    rows.select(i);
                    found = true;
                }
            }
            if (!found) {
                writeLine(io.err, QStringLiteral("Not in the list: %1").arg(url));
                ++missing;
            }
        }
        CliStoreErrors errors(io.err);
        {
            StoreBatch batch(*store);
            deleteSelectedRows(rows, *store, errors);
            batch.commit();
        }
        return missing == 0 && errors.count() == 0 ? 0 : 1;
    }
};

} // namespace

std::unique_ptr<Command> makeDeleteCommand()
{
    return std::make_unique<DeleteCommand>();
}

} // namespace sentrel::cli
