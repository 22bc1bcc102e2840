#include "fetch/contentdecoding.h"
#include "fetch/responsehead.h"
#include "text/error.h"
#include <algorithm>
#include <limits>
#include <zlib.h>

namespace sentrel {

namespace {

constexpr int gzipWindow = 16 + MAX_WBITS;
constexpr int zlibWindow = MAX_WBITS;
constexpr int rawWindow = -MAX_WBITS;

class Inflater {
public:
    explicit Inflater(int windowBits)
    {
        if (inflateInit2(&zs_, windowBits) != Z_OK)
            throw Error(QString::fromLatin1(zs_.msg ? zs_.msg : "zlib initialisation failed"));
    }
    ~Inflater() { inflateEnd(&zs_); }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;
    z_stream &stream() { return zs_; }

private:
    z_stream zs_{};
};

QString zlibMessage(const z_stream &zs, int code)
{
    return QString::fromLatin1(zs.msg ? zs.msg : zError(code));
}

bool startsGzipMember(QByteArrayView rest)
{
    return rest.size() >= 2 && uchar(rest[0]) == 0x1f && uchar(rest[1]) == 0x8b;
}

// The two header bytes of RFC 1950: deflate method, window size up to 32K and
// the check bits that make the pair a multiple of 31.
bool hasZlibHeader(QByteArrayView in)
{
    if (in.size() < 2)
        return false;
    const uint cmf = uchar(in[0]), flg = uchar(in[1]);
    return (cmf & 0x0f) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

struct InflateFailure {
    QString message;
    bool cutShort = false; // the input ended inside the stream
};

[[noreturn]] void raise(const InflateFailure &failure)
{
    if (failure.cutShort)
        throw IncompleteBodyError();
    throw Error(failure.message);
}

// Inflates all of `in`; gzip input may hold several members one after the
// other, and the last one must be complete. Returns the failure instead of
// throwing so that the deflate caller can try the other framing.
QByteArray inflateAll(QByteArrayView in, int windowBits, qsizetype maxBytes, InflateFailure *failure)
{
    Inflater inflater(windowBits);
    z_stream &zs = inflater.stream();
    QByteArray out;
    qsizetype produced = 0;
    qsizetype consumed = 0;
    constexpr qsizetype maxChunk = std::numeric_limits<uInt>::max() / 2;

    for (;;) {
        if (produced == out.size()) {
            const qsizetype wanted = std::max({out.size() * 2, in.size() * 4, qsizetype(16) * 1024});
            out.resize(std::min(wanted, maxBytes + 1));
        }
        const qsizetype inChunk = std::min(in.size() - consumed, maxChunk);
        const qsizetype outChunk = std::min(out.size() - produced, maxChunk);
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data() + consumed));
        zs.avail_in = uInt(inChunk);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
        zs.avail_out = uInt(outChunk);

        const int ret = inflate(&zs, Z_NO_FLUSH);
        consumed += inChunk - qsizetype(zs.avail_in);
        produced += outChunk - qsizetype(zs.avail_out);
        if (produced > maxBytes)
            throw BodyTooLargeError(maxBytes);

        if (ret == Z_STREAM_END) {
            const QByteArrayView rest = in.sliced(consumed);
            if (windowBits == gzipWindow && startsGzipMember(rest)) {
                inflateReset(&zs);
                continue;
            }
            break; // anything after the stream is not part of the page
        }
        if (ret == Z_OK || ret == Z_BUF_ERROR) {
            if (consumed == in.size() && zs.avail_out != 0) {
                failure->message = IncompleteBodyError().message();
                failure->cutShort = true;
                return {};
            }
            continue;
        }
        failure->message = zlibMessage(zs, ret);
        return {};
    }
    out.resize(produced);
    return out;
}

} // namespace

QByteArray decodeContent(QByteArrayView contentEncoding, QByteArray body, qsizetype maxBytes)
{
    const QByteArrayView coding = contentEncoding.trimmed();
    const bool gzip = coding.compare("gzip", Qt::CaseInsensitive) == 0;
    const bool deflate = coding.compare("deflate", Qt::CaseInsensitive) == 0;
    if ((!gzip && !deflate) || body.isEmpty()) {
        if (body.size() > maxBytes)
            throw BodyTooLargeError(maxBytes);
        return body;
    }

    InflateFailure failure;
    if (gzip) {
        QByteArray out = inflateAll(body, gzipWindow, maxBytes, &failure);
        if (!failure.message.isNull())
            raise(failure);
        return out;
    }

    if (hasZlibHeader(body)) {
        QByteArray out = inflateAll(body, zlibWindow, maxBytes, &failure);
        if (failure.message.isNull())
            return out;
        // Two header bytes can look like a zlib header by chance: raw data
        // gets its own try before the first failure is reported, unless the
        // raw stream read well and only ended early.
        InflateFailure rawFailure;
        out = inflateAll(body, rawWindow, maxBytes, &rawFailure);
        if (!rawFailure.message.isNull())
            raise(rawFailure.cutShort ? rawFailure : failure);
        return out;
    }
    QByteArray out = inflateAll(body, rawWindow, maxBytes, &failure);
    if (!failure.message.isNull())
        raise(failure);
    return out;
}

} // namespace sentrel
