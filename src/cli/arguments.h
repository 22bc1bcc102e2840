#pragma once
#include "text/error.h"
#include <QString>
#include <QStringList>
#include <optional>

namespace sentrel::cli {

// Wrong use of the command line: the caller prints the message and the usage, exit 2.
class UsageError : public Error {
public:
    using Error::Error;
};

// A small reader over a command's arguments: options (--name VALUE, --name=VALUE,
// --flag) may come in any order with the positional ones; "--" ends the options.
class Arguments {
public:
    explicit Arguments(QStringList args);

    // An option given twice is wrong use.
    bool flag(const QString &name);                    // --name
    std::optional<QString> value(const QString &name); // --name VALUE or --name=VALUE
    // Throws UsageError for any option left unread, then returns the positionals.
    QStringList positionals();

private:
    void refuseRepeat(const QString &option) const;

    QStringList tokens_;
    qsizetype optionsEnd_; // index of "--", or tokens_.size()
};

// Reads a whole number; throws UsageError naming the option when it is not one.
int toInt(const QString &text, const QString &what);

} // namespace sentrel::cli
