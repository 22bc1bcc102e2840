#include "cli/cliapp.h"
#include <QCoreApplication>
#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    sentrel::cli::CliIo io{std::cin, std::cout, std::cerr};
    const int rc = sentrel::cli::runCli(args, io);
    std::cout.flush();
    return rc;
}
