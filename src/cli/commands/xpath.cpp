#include "cli/arguments.h"
#include "cli/commands.h"
#include "html/extract.h"

namespace sentrel::cli {

namespace {

// Keeps the message of a failed extraction so that the command can report it
// on standard error and fail.
class RecordingSink : public MessageSink {
public:
    void showError(const QString &, const QString &text) override { message = text; }
    QString message;
};

class XPathCommand : public Command {
public:
    QString name() const override { return QStringLiteral("xpath"); }
    QString synopsis() const override { return QStringLiteral("xpath [--mode N] EXPR [FILE]"); }
    QString summary() const override
    {
        return QStringLiteral("print the elements an XPath expression selects");
    }
    QString details() const override
    {
        return QStringLiteral(
            "Reads FILE (standard input without it) as UTF-8, parses it and prints one line\n"
            "per selected node, exactly as a check compares it: lines are separated by a\n"
            "lone carriage return and nothing follows the last one.\n"
            "  --mode 0   start tag, a blank and the node's first direct text (default; checks use it)\n"
            "  --mode 1   start tag only\n"
            "  --mode 2   first direct text only (any other number too)\n"
            "An expression or page that cannot be read fails (exit 1) with the message;\n"
            "an expression that selects nothing prints nothing (exit 0).\n"
            "Example: sentrel-cli xpath '//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]' page.html");
    }

    int run(const QStringList &args, const GlobalOptions &, CliIo &io) override
    {
        Arguments a(args);
        const std::optional<QString> modeText = a.value(QStringLiteral("mode"));
        const int mode = modeText ? toInt(*modeText, QStringLiteral("--mode")) : 0;
        const QStringList rest = a.positionals();
        if (rest.isEmpty())
            throw UsageError(QStringLiteral("expects an XPath expression"));
        if (rest.size() > 2)
            throw UsageError(QStringLiteral("expects an XPath expression and at most one FILE"));
        const QString page = decodeUtf8(readInput(rest.value(1), io.in));
        RecordingSink sink;
        const QString result = ExtractXPathText(page, rest[0], mode, true, &sink);
        if (!sink.message.isNull())
            throw Error(sink.message);
        writeText(io.out, result);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeXPathCommand()
{
    return std::make_unique<XPathCommand>();
}

} // namespace sentrel::cli
