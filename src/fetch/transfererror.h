#pragma once
#include <QByteArray>
#include <QString>
#include <curl/curl.h>

namespace sentrel {

// What is known about a transfer that failed, for turning it into the
// message the user sees.
struct TransferFailure {
    CURLcode code = CURLE_OK;
    long osErrno = 0;          // the socket error behind the failure, 0 if none
    QByteArray detail;         // curl's error buffer
    bool connected = false;    // the connection was up and the request sent
    bool headComplete = false; // the whole response head had arrived
};

// The message for a failed transfer: the program's fixed texts for time-outs,
// a closed connection, socket and TLS errors; curl's own text otherwise.
QString transferErrorMessage(const TransferFailure &failure);

// "Socket Error # " + number + CR LF + the system's description.
QString socketErrorMessage(long number, const QString &description);

} // namespace sentrel
