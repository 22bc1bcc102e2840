#include "cli/arguments.h"
#include "cli/commands.h"
#include "html/domtree.h"
#include "html/treedump.h"

namespace sentrel::cli {

namespace {

class ParseCommand : public Command {
public:
    QString name() const override { return QStringLiteral("parse"); }
    QString synopsis() const override { return QStringLiteral("parse [FILE]"); }
    QString summary() const override
    {
        return QStringLiteral("show the document tree XPath expressions search");
    }
    QString details() const override
    {
        return QStringLiteral(
            "Reads FILE (standard input without it) as UTF-8 and prints the tree the parser\n"
            "builds from it: one node per line, indented by depth, with its kind and its\n"
            "Tag, AttributesTxt and Text; then \"ParseErr: N\" and the parser's N messages.\n"
            "Texts are quoted, with \\\" \\\\ \\r \\n \\t and \\uXXXX escapes. Lines deeper than\n"
            "40 levels keep that indentation and begin with \"[depth] \".\n"
            "A page without any tag fails (exit 1).");
    }

    int run(const QStringList &args, const GlobalOptions &, CliIo &io) override
    {
        Arguments a(args);
        const QStringList files = a.positionals();
        if (files.size() > 1)
            throw UsageError(QStringLiteral("expects at most one FILE"));
        const QString page = decodeUtf8(readInput(files.value(0), io.in));
        TDomTree tree;
        tree.RootNode()->RunParse(page);
        dumpTree(tree, [&](const QString &line) { writeLine(io.out, line); });
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeParseCommand()
{
    return std::make_unique<ParseCommand>();
}

} // namespace sentrel::cli
