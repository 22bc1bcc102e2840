#pragma once
#include "cli/command.h"
#include <memory>

// One factory per command; the registry lists them.
namespace sentrel::cli {

std::unique_ptr<Command> makeFetchCommand();
std::unique_ptr<Command> makeStripCommand();
std::unique_ptr<Command> makeDecodeCommand();

} // namespace sentrel::cli
