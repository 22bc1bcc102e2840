#pragma once
#include <QString>

namespace sentrel {

class Error;

// The text of the store error message box: "Exception raised with message: "
// followed by the error's own message.
QString storeErrorText(const Error &error);

// The text shown when the store cannot be opened at start-up: the same
// words, then two carriage returns and the message.
QString storeOpenErrorText(const Error &error);

// Where the URL list logic reports a failed store statement before it goes
// on: the desktop program shows a message box, sentrel-cli writes to stderr.
class StoreErrorSink {
public:
    virtual ~StoreErrorSink() = default;
    // `text` is the complete message, as storeErrorText builds it.
    virtual void showStoreError(const QString &text) = 0;
};

} // namespace sentrel
