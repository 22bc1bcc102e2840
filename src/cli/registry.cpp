#include "cli/registry.h"
#include "cli/commands.h"

namespace sentrel::cli {

void CommandRegistry::add(std::unique_ptr<Command> command)
{
    commands_.push_back(std::move(command));
}

Command *CommandRegistry::find(const QString &name) const
{
    for (const auto &c : commands_)
        if (c->name() == name)
            return c.get();
    return nullptr;
}

CommandRegistry makeRegistry()
{
    CommandRegistry r;
    r.add(makeFetchCommand());
    r.add(makeStripCommand());
    r.add(makeDecodeCommand());
    r.add(makeAddCommand());
    r.add(makeListCommand());
    r.add(makeDeleteCommand());
    r.add(makeShowCommand());
    r.add(makeHistoryCommand());
    r.add(makeDiffCommand());
    r.add(makeSetCommand());
    r.add(makeExclusionsCommand());
    r.add(makeSettingsCommand());
    r.add(makeXPathCommand());
    r.add(makeParseCommand());
    r.add(makeCheckCommand());
    return r;
}

} // namespace sentrel::cli
