#include "cli/cliapp.h"
#include <QCoreApplication>
#include <csignal>
#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
#ifdef SIGPIPE
    // A reader that went away (check --all | head -1) must not end a run
    // before it has saved what it checked: a write to the closed pipe fails
    // instead, and the command stops printing.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    sentrel::cli::CliIo io{std::cin, std::cout, std::cerr};
    const int rc = sentrel::cli::runCli(args, io);
    std::cout.flush();
    return rc;
}
