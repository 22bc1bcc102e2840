#include "fetch/multipartframing.h"
#include "fetch/charsetsniff.h"
#include <algorithm>

namespace sentrel {

// The body starts at the start of a line: the tail begins as a line end so
// that a delimiter in the very first bytes is found like any other.
MultipartEnd::MultipartEnd(QByteArrayView boundary)
    : delimiter_("\n--" + boundary.toByteArray() + "--"), tail_("\n")
{
}

std::optional<qsizetype> MultipartEnd::feed(QByteArrayView piece)
{
    // The tail is shorter than the delimiter, so a match found here ends in
    // this piece.
    QByteArray seen = tail_;
    seen.append(piece);
    const qsizetype at = seen.indexOf(delimiter_);
    if (at >= 0)
        return at + delimiter_.size() - tail_.size();
    tail_ = seen.last(std::min(seen.size(), delimiter_.size() - 1));
    return std::nullopt;
}

std::optional<MultipartEnd> multipartFraming(const ResponseHead &head)
{
    if (head.hasHeader("Content-Length") || head.header("Transfer-Encoding").toLower().contains("chunked"))
        return std::nullopt;
    const MediaType type = parseMediaType(head.header("Content-Type"));
    if (type.type != "multipart" || !type.boundary)
        return std::nullopt;
    return MultipartEnd(*type.boundary);
}

} // namespace sentrel
