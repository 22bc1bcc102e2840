#pragma once
#include <QByteArray>
#include <QString>
#include <exception>

namespace sentrel {

// The one exception type of the program: it carries the message text that the
// user sees. Callers that need to tell errors apart derive from it.
class Error : public std::exception {
public:
    explicit Error(QString message);
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

} // namespace sentrel
