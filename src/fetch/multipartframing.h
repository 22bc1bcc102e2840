#pragma once
#include "fetch/responsehead.h"
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sentrel {

// Finds the end of a multipart body that comes with neither a length nor
// chunks: its close delimiter, "--" + boundary + "--" at the start of a line.
// The body arrives in pieces, and the delimiter may straddle two of them.
class MultipartEnd {
public:
    explicit MultipartEnd(QByteArrayView boundary);

    // The number of bytes of this piece that still belong to the body when
    // the close delimiter ends in it (they end with the delimiter); nullopt
    // while the body goes on.
    std::optional<qsizetype> feed(QByteArrayView piece);

private:
    QByteArray delimiter_; // "\n--" + boundary + "--"
    QByteArray tail_;      // the last bytes seen, fewer than the delimiter's
};

// The close delimiter framing of a response whose head has a multipart
// Content-Type with a boundary and neither a Content-Length nor chunked
// Transfer-Encoding; nullopt for every other response, which the HTTP
// library frames itself.
std::optional<MultipartEnd> multipartFraming(const ResponseHead &head);

} // namespace sentrel
