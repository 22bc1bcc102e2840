#include "cli/commands.h"
#include "cli/storecommand.h"
#include "uimodel/urllistcommands.h"

namespace sentrel::cli {

namespace {

class DeleteCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("delete"); }
    QString synopsis() const override { return QStringLiteral("delete URL..."); }
    QString summary() const override { return QStringLiteral("stop watching URLs"); }
    QString details() const override
    {
        return QStringLiteral("Removes every row whose URL is the URL given, or else what add would have\n"
                              "stored for it, with its stored text and options. A URL that is not listed\n"
                              "is reported (exit 1); the others are still removed.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        const QStringList urls = requiredUrls(args);

        const auto store = openStore(global, FolderUse::MustExist);
        UrlListModel rows;
        listStoredUrls(rows, *store);
        int missing = 0;
        QList<RowId> doomed;
        for (const QString &typed : urls) {
            const std::optional<QString> url = findListedUrl(
                typed, [&](const QString &candidate) { return rows.findCaption(candidate).has_value(); });
            if (!url) {
                writeLine(io.err, QStringLiteral("Not in the list: %1").arg(typed));
                ++missing;
                continue;
            }
            for (int i = 0; i < rows.count(); ++i)
                if (rows.url(rows.idAt(i)) == *url && !doomed.contains(rows.idAt(i)))
                    doomed.append(rows.idAt(i));
        }
        CliStoreErrors errors(io.err);
        {
            StoreBatch batch(*store);
            deleteRows(rows, doomed, *store, errors);
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
