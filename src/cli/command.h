#pragma once
#include "cli/cliio.h"
#include <QString>
#include <QStringList>

namespace sentrel::cli {

// Options that come before the command name and hold for every command.
struct GlobalOptions {
    QString dataDir; // --data DIR; empty: the desktop program's data folder
};

// One sub-command of sentrel-cli. Data goes to io.out, messages to io.err.
// run() returns the exit code; errors of the work itself are thrown as
// sentrel::Error and reported by the caller (exit 1), usage errors as UsageError (exit 2).
class Command {
public:
    virtual ~Command() = default;
    virtual QString name() const = 0;
    virtual QString synopsis() const = 0;          // e.g. "fetch URL"
    virtual QString summary() const = 0;           // one line for the command list
    virtual QString details() const { return {}; } // further lines for COMMAND --help
    virtual int run(const QStringList &args, const GlobalOptions &global, CliIo &io) = 0;

    QString help() const;
};

} // namespace sentrel::cli
