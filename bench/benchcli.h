#pragma once
// sentrel-cli run in process by the benchmarks of whole runs.
#include "cli/cliapp.h"
#include <QStringList>
#include <sstream>

namespace sentrel::bench {

// sentrel-cli with `--data data` in front of `args`; its output is dropped.
inline int cli(const QString &data, QStringList args)
{
    args.prepend(data);
    args.prepend(QStringLiteral("--data"));
    std::istringstream in;
    std::ostringstream out, err;
    cli::CliIo io{in, out, err};
    return cli::runCli(args, io);
}

} // namespace sentrel::bench
