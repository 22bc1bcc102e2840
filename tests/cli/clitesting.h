#pragma once
#include "cli/cliapp.h"
#include <QStringList>
#include <initializer_list>
#include <sstream>
#include <string>

// Runs sentrel-cli in process with string streams, as the tests of every command do.
namespace sentrel::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun runCliWith(const QStringList &args, const std::string &input = {})
{
    std::istringstream in(input);
    std::ostringstream out, err;
    cli::CliIo io{in, out, err};
    const int code = cli::runCli(args, io);
    return {code, out.str(), err.str()};
}

// The same with "--data DIR" in front, for the commands that use a data folder.
inline CliRun runCliOn(const QString &dataDir, QStringList args, const std::string &input = {})
{
    args.prepend(dataDir);
    args.prepend(QStringLiteral("--data"));
    return runCliWith(args, input);
}

inline QStringList argList(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *i : items)
        out.append(QString::fromUtf8(i));
    return out;
}

} // namespace sentrel::test
