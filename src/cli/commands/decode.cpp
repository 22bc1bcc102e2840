#include "cli/arguments.h"
#include "cli/commands.h"
#include "strip/htmldecode.h"

namespace sentrel::cli {

namespace {

class DecodeCommand : public Command {
public:
    QString name() const override { return QStringLiteral("decode"); }
    QString synopsis() const override { return QStringLiteral("decode [FILE]"); }
    QString summary() const override
    {
        return QStringLiteral("replace character references (&amp; &#65; ...)");
    }
    QString details() const override
    {
        return QStringLiteral("Reads FILE (standard input without it) as UTF-8 and prints it with its\n"
                              "character references replaced; a malformed numeric one fails (exit 1).");
    }

    int run(const QStringList &args, const GlobalOptions &, CliIo &io) override
    {
        Arguments a(args);
        const QStringList files = a.positionals();
        if (files.size() > 1)
            throw UsageError(QStringLiteral("expects at most one FILE"));
        writeText(io.out, HtmlDecode(decodeUtf8(readInput(files.value(0), io.in))));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeDecodeCommand()
{
    return std::make_unique<DecodeCommand>();
}

} // namespace sentrel::cli
