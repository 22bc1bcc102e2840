#pragma once
#include "cli/command.h"
#include <memory>
#include <vector>

namespace sentrel::cli {

class CommandRegistry {
public:
    void add(std::unique_ptr<Command> command);
    Command *find(const QString &name) const;
    const std::vector<std::unique_ptr<Command>> &commands() const { return commands_; }

private:
    std::vector<std::unique_ptr<Command>> commands_;
};

// Every command of sentrel-cli, in the order the help lists them.
CommandRegistry makeRegistry();

} // namespace sentrel::cli
