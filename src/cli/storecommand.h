#pragma once
#include "cli/command.h"
#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "uimodel/urllistmodel.h"
#include <functional>
#include <iosfwd>
#include <memory>
#include <vector>

namespace sentrel::cli {

// The URL list of one sentrel-cli run: the store's rows, in store order, in
// one insertion. Throws StoreError.
void listStoredUrls(UrlListModel &list, WebsiteDb &store);

// Store errors of the URL list logic go to stderr; the command then ends
// with exit code 1 once the rest of its work is done.
class CliStoreErrors : public StoreErrorSink {
public:
    explicit CliStoreErrors(std::ostream &err) : err_(err) {}
    void showStoreError(const QString &text) override;
    int count() const { return count_; }

private:
    std::ostream &err_;
    int count_ = 0;
};

// A command that only reads the data folder, or needs a URL already listed,
// wants an existing one: a mistyped --data folder is reported rather than
// made into a new, empty list. Adding to the list creates it.
enum class FolderUse { Create, MustExist };

// The data folder of the run (--data DIR, or the desktop program's), created
// or checked as `use` says; throws sentrel::Error when it is missing or
// cannot be created.
QString dataFolder(const GlobalOptions &global, FolderUse use);

// A command that works on the website store of the data folder (--data DIR,
// or the desktop program's). A store error that ends the command is printed
// as the store error message, exit 1.
class StoreCommand : public Command {
public:
    int run(const QStringList &args, const GlobalOptions &global, CliIo &io) final;

protected:
    virtual int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) = 0;

    // Opens the store; call it after the arguments are checked, so that wrong
    // use never creates a store. Its saves keep the history settings.ini asks
    // for; a settings file that cannot be read is reported on stderr.
    std::unique_ptr<WebsiteDb> openStore(const GlobalOptions &global,
                                         FolderUse use = FolderUse::Create) const;

    // The URL arguments of a command that needs at least one (wrong use without).
    static QStringList requiredUrls(const QStringList &args);

    // The listed URL a URL argument names (findListedUrl: as typed, else as
    // add would have stored it); throws "Not in the list" naming the argument.
    static QString listedUrl(const QString &typed, const std::function<bool(const QString &)> &isListed);

private:
    std::ostream *notices_ = nullptr; // the running command's stderr, for openStore
};

} // namespace sentrel::cli
