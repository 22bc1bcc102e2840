#pragma once
#include "text/error.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

namespace sentrel {

// The status line and header fields of the final response of a download, as
// the server sent them (names and values without the line ends).
struct ResponseHead {
    QByteArray statusLine;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The value of the last field with this name (compared without letter
    // case), trimmed; an empty array when there is none.
    QByteArray header(QByteArrayView name) const;
    bool hasHeader(QByteArrayView name) const;
};

// The ceiling on the bytes of a page, raw or decoded: a server sending an
// endless body or a compression bomb must not exhaust the memory.
inline constexpr qsizetype defaultMaxBodyBytes = qsizetype(64) * 1024 * 1024;

// Raised when a body grows past its ceiling, while receiving or while
// inflating it.
class BodyTooLargeError : public Error {
public:
    explicit BodyTooLargeError(qsizetype limit);
};

// Raised when a body ends before its framing or its compressed stream says
// it is complete: the server closed the connection too early. A part of a
// page must not be taken for the page, or the next full copy would read as
// a change.
class IncompleteBodyError : public Error {
public:
    IncompleteBodyError();
};

} // namespace sentrel
