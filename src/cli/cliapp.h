#pragma once
#include "cli/cliio.h"
#include <QStringList>

namespace sentrel::cli {

// Runs sentrel-cli with the arguments after the program name; returns the exit
// code: 0 done, 1 the work failed, 2 wrong use of the command line.
int runCli(const QStringList &args, CliIo &io);

} // namespace sentrel::cli
