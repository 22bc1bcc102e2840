#include "storage/snapshotcodec.h"
#include "storage/storesqlite.h"
#include <sqlite3.h>
#include <zlib.h>
#include <zstd.h>

namespace sentrel {

namespace {

// The first byte of every blob; a later layout gets a new tag.
constexpr char StandaloneTag = 1;
constexpr char DeltaTag = 2;
// A delta's header: tag, base size and base CRC-32, both little-endian.
constexpr qsizetype DeltaHeaderBytes = 1 + 4 + 4;

// Base and text together stay below 2^29 bytes (twice MaxTextBytes), so
// every window a delta asks for fits below this.
constexpr int MaxWindowLog = 29;
constexpr int MinWindowLog = 10;

[[noreturn]] void damaged(const QString &reason)
{
    throw StoreError(QStringLiteral("The stored snapshot is damaged: %1.").arg(reason), SQLITE_CORRUPT);
}

void check(size_t result)
{
    if (ZSTD_isError(result))
        throw StoreError(QStringLiteral("Snapshot compression failed: %1.")
                             .arg(QString::fromUtf8(ZSTD_getErrorName(result))),
                         SQLITE_ERROR);
}

quint32 crcOf(const QByteArray &bytes)
{
    return quint32(crc32_z(0, reinterpret_cast<const Bytef *>(bytes.constData()), size_t(bytes.size())));
}

void appendUint32(QByteArray &out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xff));
}

quint32 readUint32(QByteArrayView bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// The smallest window reaching from the end of the text back over the whole
// base: a match may point anywhere into it.
int windowLogFor(qsizetype bytes)
{
    int log = MinWindowLog;
    while (log < MaxWindowLog && (qsizetype(1) << log) < bytes)
        ++log;
    return log;
}

void checkSize(qsizetype bytes)
{
    if (bytes > SnapshotCodec::MaxTextBytes)
        throw StoreError(QStringLiteral("A text of %1 bytes is too large for the history.").arg(bytes),
                         SQLITE_TOOBIG);
}

} // namespace

void SnapshotCodec::CompressDeleter::operator()(ZSTD_CCtx *context) const
{
    ZSTD_freeCCtx(context);
}

void SnapshotCodec::DecompressDeleter::operator()(ZSTD_DCtx *context) const
{
    ZSTD_freeDCtx(context);
}

SnapshotCodec::SnapshotCodec(int level)
    : level_(level), compress_(ZSTD_createCCtx()), decompress_(ZSTD_createDCtx())
{
    if (!compress_ || !decompress_)
        throw StoreError(QStringLiteral("Out of memory for snapshot compression."), SQLITE_NOMEM);
}

SnapshotCodec::~SnapshotCodec() = default;

QByteArray SnapshotCodec::pack(QByteArrayView utf8, const QByteArray *baseUtf8)
{
    checkSize(utf8.size());
    QByteArray out;
    ZSTD_CCtx *context = compress_.get();
    check(ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters));
    check(ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, level_));
    // The frame's own checksum: a damaged blob, or one unpacked against a
    // base that passes the header check by chance, never reads as text.
    check(ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1));
    if (baseUtf8) {
        checkSize(baseUtf8->size());
        check(
            ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLogFor(baseUtf8->size() + utf8.size())));
        check(ZSTD_CCtx_refPrefix(context, baseUtf8->constData(), size_t(baseUtf8->size())));
        out.append(DeltaTag);
        appendUint32(out, quint32(baseUtf8->size()));
        appendUint32(out, crcOf(*baseUtf8));
    } else {
        out.append(StandaloneTag);
    }
    const qsizetype header = out.size();
    out.resize(header + qsizetype(ZSTD_compressBound(size_t(utf8.size()))));
    const size_t packed = ZSTD_compress2(context, out.data() + header, size_t(out.size() - header),
                                         utf8.data(), size_t(utf8.size()));
    check(packed);
    out.resize(header + qsizetype(packed));
    return out;
}

QByteArray SnapshotCodec::unpack(QByteArrayView blob, const QByteArray *baseUtf8)
{
    if (blob.isEmpty())
        damaged(QStringLiteral("it is empty"));
    qsizetype header = 1;
    if (blob[0] == DeltaTag) {
        if (!baseUtf8)
            throw StoreError(QStringLiteral("The stored snapshot is a delta, but no base text was given."),
                             SQLITE_MISUSE);
        if (blob.size() < DeltaHeaderBytes)
            damaged(QStringLiteral("its header is cut short"));
        if (readUint32(blob, 1) != quint32(baseUtf8->size()) || readUint32(blob, 5) != crcOf(*baseUtf8))
            throw StoreError(QStringLiteral("The stored snapshot was packed against another base text."),
                             SQLITE_MISMATCH);
        header = DeltaHeaderBytes;
    } else if (blob[0] == StandaloneTag) {
        if (baseUtf8)
            throw StoreError(QStringLiteral("The stored snapshot is standalone, but a base text was given."),
                             SQLITE_MISUSE);
    } else {
        damaged(QStringLiteral("unknown format %1").arg(int(quint8(blob[0]))));
    }

    const char *frame = blob.data() + header;
    const auto frameBytes = size_t(blob.size() - header);
    // The size the frame announces is only an upper bound to allocate after
    // it passed the cap; decompression fails if the content runs beyond it.
    const unsigned long long announced = ZSTD_getFrameContentSize(frame, frameBytes);
    if (announced == ZSTD_CONTENTSIZE_ERROR || announced == ZSTD_CONTENTSIZE_UNKNOWN)
        damaged(QStringLiteral("no valid frame header"));
    if (announced > (unsigned long long)MaxTextBytes)
        damaged(QStringLiteral("it claims %1 bytes of text").arg(announced));
    if (ZSTD_findFrameCompressedSize(frame, frameBytes) != frameBytes)
        damaged(QStringLiteral("its frame is cut short or followed by other bytes"));

    ZSTD_DCtx *context = decompress_.get();
    ZSTD_DCtx_reset(context, ZSTD_reset_session_and_parameters);
    if (ZSTD_isError(ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, MaxWindowLog)))
        damaged(QStringLiteral("the decoder refused its window"));
    if (baseUtf8 &&
        ZSTD_isError(ZSTD_DCtx_refPrefix(context, baseUtf8->constData(), size_t(baseUtf8->size()))))
        damaged(QStringLiteral("the decoder refused its base"));
    QByteArray text(qsizetype(announced), Qt::Uninitialized);
    const size_t unpacked = ZSTD_decompressDCtx(context, text.data(), size_t(text.size()), frame, frameBytes);
    if (ZSTD_isError(unpacked))
        damaged(QString::fromUtf8(ZSTD_getErrorName(unpacked)));
    if (unpacked != size_t(announced))
        damaged(QStringLiteral("its text is shorter than announced"));
    return text;
}

QByteArray packSnapshot(QStringView text, const QByteArray *baseUtf8)
{
    SnapshotCodec codec;
    return codec.pack(text.toUtf8(), baseUtf8);
}

QString unpackSnapshot(QByteArrayView blob, const QByteArray *baseUtf8)
{
    SnapshotCodec codec;
    return QString::fromUtf8(codec.unpack(blob, baseUtf8));
}

} // namespace sentrel
