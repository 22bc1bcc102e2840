#include "cli/arguments.h"
#include "cli/cliio.h"
#include "cli/commands.h"
#include "strip/strippers.h"

namespace sentrel::cli {

namespace {

StripMethod methodNamed(const QString &name)
{
    if (name == u"browser")
        return StripMethod::Browser;
    if (name == u"regex")
        return StripMethod::Regex;
    if (name == u"stringbuilder")
        return StripMethod::StringBuilder;
    throw UsageError(
        QStringLiteral("unknown strip method \"%1\" (browser, regex or stringbuilder)").arg(name));
}

class StripCommand : public Command {
public:
    QString name() const override { return QStringLiteral("strip"); }
    QString synopsis() const override { return QStringLiteral("strip [--method M] [FILE]"); }
    QString summary() const override { return QStringLiteral("reduce an HTML page to its text"); }
    QString details() const override
    {
        return QStringLiteral(
            "Reads FILE (standard input without it) as UTF-8 and prints its text.\n"
            "  --method browser        rendered text, as a browser shows it (default)\n"
            "  --method regex          tags, comments, scripts and styles deleted, then decoded\n"
            "  --method stringbuilder  text outside tags, scripts and styles, then decoded");
    }

    int run(const QStringList &args, const GlobalOptions &, CliIo &io) override
    {
        Arguments a(args);
        const StripMethod method =
            methodNamed(a.value(QStringLiteral("method")).value_or(QStringLiteral("browser")));
        const QStringList files = a.positionals();
        if (files.size() > 1)
            throw UsageError(QStringLiteral("expects at most one FILE"));
        const QByteArray bytes = readInput(files.value(0), io.in);
        // The HTML engine reads UTF-8: a UTF-8 file goes to it as it is.
        if (method == StripMethod::Browser)
            writeText(io.out, StripWithBrowserUtf8(withoutUtf8Bom(bytes)));
        else
            writeText(io.out, strip(method, decodeUtf8(bytes)));
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeStripCommand()
{
    return std::make_unique<StripCommand>();
}

} // namespace sentrel::cli
