#include "cli/commands.h"
#include "cli/storecommand.h"

namespace sentrel::cli {

namespace {

class AddCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("add"); }
    QString synopsis() const override { return QStringLiteral("add URL..."); }
    QString summary() const override { return QStringLiteral("add URLs to the watched list"); }
    QString details() const override
    {
        return QStringLiteral("Each URL is trimmed and gets \"http://\" in front unless it starts with\n"
                              "\"http://\" or \"https://\". A URL already listed with the same text (letter\n"
                              "case counts) is skipped. Prints every URL added, as it was stored.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        const QStringList urls = requiredUrls(args);

        const auto store = openStore(global);
        CliUrlRows rows = CliUrlRows::fromStore(*store);
        CliStoreErrors errors(io.err);
        QStringList added;
        {
            // One transaction for all of them: one disk sync instead of one
            // per URL. Nothing is reported as added before it is durable.
            StoreBatch batch(*store);
            UrlAdder adder(rows);
            for (const QString &url : urls) {
                const int failedBefore = errors.count();
                if (adder.add(url, *store, errors) && errors.count() == failedBefore)
                    added.append(rows.caption(rows.rowCount() - 1));
            }
            batch.commit();
        }
        for (const QString &url : added)
            writeLine(io.out, url);
        return errors.count() == 0 ? 0 : 1;
    }
};

} // namespace

std::unique_ptr<Command> makeAddCommand()
{
    return std::make_unique<AddCommand>();
}

} // namespace sentrel::cli
