#include "cli/cliapp.h"
#include "cli/arguments.h"
#include "cli/registry.h"
#include "text/buildinfo.h"
#include <ostream>

namespace sentrel::cli {

namespace {

QString versionText()
{
    return QString::fromUtf16(buildinfo::ProductName) + u' ' + QString::fromUtf16(buildinfo::FileVersion);
}

QString overview(const CommandRegistry &registry)
{
    QString text = QStringLiteral("Usage: sentrel-cli [--data DIR] COMMAND [ARGS...]\n"
                                  "Watches web pages for changes; the headless side of Sentrel.\n\n"
                                  "Commands:\n");
    // The summaries start in one column; a usage too long for it (check's)
    // gets a line of its own and its summary goes under the others.
    constexpr qsizetype Column = 40;
    for (const auto &c : registry.commands()) {
        const QString usage = c->synopsis();
        if (usage.size() + 2 <= Column)
            text += QStringLiteral("  %1%2\n").arg(usage.leftJustified(Column), c->summary());
        else
            text += QStringLiteral("  %1\n  %2%3\n").arg(usage, QString(Column, u' '), c->summary());
    }
    text += QStringLiteral("\nOptions:\n"
                           "  --data DIR     use DIR as the data folder\n"
                           "  --help         show this help, or COMMAND --help for one command\n"
                           "  --version      show the version\n");
    return text;
}

} // namespace

QString Command::help() const
{
    QString text = QStringLiteral("Usage: sentrel-cli ") + synopsis() + u'\n' + summary() + u'\n';
    const QString more = details();
    if (!more.isEmpty())
        text += QStringLiteral("\n") + more + (more.endsWith(u'\n') ? QString() : QStringLiteral("\n"));
    return text;
}

int runCli(const QStringList &args, CliIo &io)
{
    const CommandRegistry registry = makeRegistry();
    GlobalOptions global;
    qsizetype i = 0;
    for (; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--help" || a == u"-h") {
            writeText(io.out, overview(registry));
            return 0;
        }
        if (a == u"--version") {
            writeLine(io.out, versionText());
            return 0;
        }
        if (a == u"--data" || a.startsWith(u"--data=")) {
            QString problem;
            if (a == u"--data" && i + 1 >= args.size())
                problem = QStringLiteral("option --data needs a value");
            global.dataDir = a == u"--data" ? args.value(++i) : a.mid(7);
            // An empty DIR would quietly mean the desktop program's folder.
            if (problem.isEmpty() && global.dataDir.isEmpty())
                problem = QStringLiteral("--data needs a DIR, not an empty text");
            if (!problem.isEmpty()) {
                writeLine(io.err, QStringLiteral("sentrel-cli: ") + problem);
                writeText(io.err, overview(registry));
                return 2;
            }
        } else if (a.startsWith(u'-')) {
            writeLine(io.err, QStringLiteral("sentrel-cli: unknown option %1").arg(a));
            writeText(io.err, overview(registry));
            return 2;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        writeText(io.err, overview(registry));
        return 2;
    }
    Command *command = registry.find(args[i]);
    if (!command) {
        writeLine(io.err, QStringLiteral("sentrel-cli: unknown command \"%1\"").arg(args[i]));
        writeText(io.err, overview(registry));
        return 2;
    }
    const QStringList rest = args.mid(i + 1);
    if (rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
        writeText(io.out, command->help());
        return 0;
    }
    try {
        return command->run(rest, global, io);
    } catch (const UsageError &e) {
        writeLine(io.err, QStringLiteral("sentrel-cli %1: %2").arg(command->name(), e.message()));
        writeText(io.err, command->help());
        return 2;
    } catch (const Error &e) {
        writeLine(io.err, e.message());
        return 1;
    }
}

} // namespace sentrel::cli
