#include "cli/storecommand.h"
#include "cli/arguments.h"
#include "cli/cliio.h"
#include "storage/datafolder.h"
#include "storage/historysettings.h"
#include "storage/programfiles.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace sentrel::cli {

namespace {

QString executableDir()
{
    // Without an application object (the tests drive runCli directly) there
    // is no executable folder: no template, and --data is required in effect.
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

void listStoredUrls(UrlListModel &list, WebsiteDb &store)
{
    std::vector<UrlListRow> rows;
    for (const ListedWebsite &w : store.DbLoadWebsites())
        rows.push_back({w.url, w.lastChange, QString()});
    list.appendMany(rows);
}

void CliStoreErrors::showStoreError(const QString &text)
{
    writeLine(err_, text);
    ++count_;
}

int StoreCommand::run(const QStringList &args, const GlobalOptions &global, CliIo &io)
{
    notices_ = &io.err;
    try {
        return runCommand(args, global, io);
    } catch (const StoreError &e) {
        // Also for a store that cannot be opened: on a terminal the desktop
        // program's two carriage returns would hide the start of the message.
        throw Error(storeErrorText(e));
    }
}

QStringList StoreCommand::requiredUrls(const QStringList &args)
{
    QStringList urls = Arguments(args).positionals();
    if (urls.isEmpty())
        throw UsageError(QStringLiteral("expects at least one URL"));
    return urls;
}

QString StoreCommand::listedUrl(const QString &typed, const std::function<bool(const QString &)> &isListed)
{
    if (const std::optional<QString> url = findListedUrl(typed, isListed))
        return *url;
    throw Error(QStringLiteral("Not in the list: %1").arg(typed));
}

QString dataFolder(const GlobalOptions &global, FolderUse use)
{
    QString folder = DataFolderFromOption(global.dataDir, executableDir());
    const QString shown = QDir::toNativeSeparators(folder);
    if (use == FolderUse::MustExist) {
        if (!QFileInfo(folder).isDir())
            throw Error(QStringLiteral("The data folder \"%1\" does not exist").arg(shown));
    } else if (!QDir().mkpath(folder)) {
        throw Error(QStringLiteral("Cannot create the data folder \"%1\"").arg(shown));
    }
    return folder;
}

std::unique_ptr<WebsiteDb> StoreCommand::openStore(const GlobalOptions &global, FolderUse use) const
{
    const QString folder = dataFolder(global, use);
    StoreSettings settings;
    settings.templatePath = LocateProgramFiles(executableDir()).templatePath;
    auto store = std::make_unique<WebsiteDb>(folder, settings);
    // Read once the store is open: a store that fails leaves settings.ini
    // as it was, rather than moved aside for a run that did nothing.
    const SettingsFile settingsFile = SettingsFile::open(folder);
    if (notices_ && !settingsFile.openNotice().isEmpty())
        writeLine(*notices_, settingsFile.openNotice());
    store->setHistoryRetention(readHistoryRetention(settingsFile));
    return store;
}

} // namespace sentrel::cli
