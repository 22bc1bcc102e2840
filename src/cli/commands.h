#pragma once
#include "cli/command.h"
#include <memory>

// One factory per command; the registry lists them.
namespace sentrel::cli {

std::unique_ptr<Command> makeFetchCommand();
std::unique_ptr<Command> makeStripCommand();
std::unique_ptr<Command> makeDecodeCommand();
// The website store: storecommand.h.
std::unique_ptr<Command> makeAddCommand();
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeDeleteCommand();
std::unique_ptr<Command> makeShowCommand();
// The saved versions of a URL's text (versions.h numbers them).
std::unique_ptr<Command> makeHistoryCommand();
std::unique_ptr<Command> makeDiffCommand();
std::unique_ptr<Command> makeSetCommand();
std::unique_ptr<Command> makeExclusionsCommand();
// The program settings of settings.ini (the history limits).
std::unique_ptr<Command> makeSettingsCommand();
// The document model: XPath selection and the parsed tree.
std::unique_ptr<Command> makeXPathCommand();
std::unique_ptr<Command> makeParseCommand();
// Checking the watched pages.
std::unique_ptr<Command> makeCheckCommand();

} // namespace sentrel::cli
