#include "cli/arguments.h"
#include "cli/commands.h"
#include "fetch/fetcher.h"

namespace sentrel::cli {

namespace {

class FetchCommand : public Command {
public:
    QString name() const override { return QStringLiteral("fetch"); }
    QString synopsis() const override { return QStringLiteral("fetch URL"); }
    QString summary() const override { return QStringLiteral("download a page and print it as text"); }
    QString details() const override
    {
        return QStringLiteral("Prints the decoded page with CR LF line ends, exactly as a check sees it\n"
                              "before stripping. A failed download prints its message on stderr (exit 1).");
    }

    int run(const QStringList &args, const GlobalOptions &, CliIo &io) override
    {
        Arguments a(args);
        const QStringList urls = a.positionals();
        if (urls.size() != 1)
            throw UsageError(QStringLiteral("expects one URL"));
        writeText(io.out, DownloadPage(urls.first()));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeFetchCommand()
{
    return std::make_unique<FetchCommand>();
}

} // namespace sentrel::cli
