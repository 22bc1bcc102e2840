#pragma once
#include "cli/command.h"
#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include <iosfwd>
#include <memory>
#include <vector>

namespace sentrel::cli {

// The URL list of one sentrel-cli run: the store's rows in memory, with a
// selection that the command sets.
class CliUrlRows : public UrlRows {
public:
    int rowCount() const override { return int(rows_.size()); }
    QString caption(int row) const override { return rows_.at(size_t(row)).url; }
    bool isSelected(int row) const override { return rows_.at(size_t(row)).selected; }
    void appendRow(const QString &url, const QString &lastChange, const QString &status) override;
    void removeRow(int row) override { rows_.erase(rows_.begin() + row); }

    void select(int row) { rows_.at(size_t(row)).selected = true; }

    // The rows of the store, in store order, none selected.
    static CliUrlRows fromStore(WebsiteDb &store);

private:
    struct Row {
        QString url;
        bool selected = false;
    };
    std::vector<Row> rows_;
};

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

// A command that works on the website store of the data folder (--data DIR,
// or the desktop program's). A store error that ends the command is printed
// as the store error message, exit 1.
class StoreCommand : public Command {
public:
    int run(const QStringList &args, const GlobalOptions &global, CliIo &io) final;

protected:
    virtual int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) = 0;

    // Opens the store; call it after the arguments are checked, so that wrong
    // use never creates a store. A missing --data folder is created.
    std::unique_ptr<WebsiteDb> openStore(const GlobalOptions &global) const;

    // The URL arguments of a command that needs at least one (wrong use without).
    static QStringList requiredUrls(const QStringList &args);
};

} // namespace sentrel::cli
