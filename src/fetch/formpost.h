#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>

// A small web form sent with one HTTP POST, for the pages that take a message
// from the program rather than give it a page to watch.
namespace sentrel {

struct FormField {
    QString name;
    QString value;
    bool operator==(const FormField &) const = default;
};

// application/x-www-form-urlencoded, every value as UTF-8.
QByteArray formEncode(const QList<FormField> &fields);

// Posts `fields` to `url` with "Connection: close" and returns the answer's
// body. `timeout` bounds the connect and the wait for each byte of the
// answer; the whole exchange ends after twice that. Certificates are
// verified. Throws sentrel::Error with the reason for any failure
// (connection, time-out, TLS, an HTTP status other than 2xx).
QString postForm(const QString &url, const QList<FormField> &fields, std::chrono::milliseconds timeout);

} // namespace sentrel
