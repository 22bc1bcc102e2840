#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>

struct ZSTD_CCtx_s;
struct ZSTD_DCtx_s;

// The packed form of a page text kept in the history: zstd-compressed UTF-8,
// either standalone or as a delta against a base text (the base is handed to
// zstd as a prefix, so whatever the two texts share costs a few bytes).
//
// A blob starts with a one-byte format tag; a delta then records the size and
// CRC-32 of its base, so that unpacking against the wrong text is reported as
// such instead of yielding a garbled page.
namespace sentrel {

class SnapshotCodec {
public:
    // Measured on a 100 KB page (bench/bench_snapshots.cpp): level 3 packs it
    // in under a millisecond to 32 KB, level 9 takes six times as long for 7 %
    // less and level 19 eighty times as long for 11 % less. Deltas against a
    // neighbour are a few hundred bytes at every level and unpacking costs the
    // same, so the fast level wins: an append packs twice per changed page.
    static constexpr int DefaultLevel = 3;
    // No blob ever unpacks to more than this, whatever its frame header
    // claims, and no larger text is packed.
    static constexpr qsizetype MaxTextBytes = qsizetype(256) * 1024 * 1024;

    explicit SnapshotCodec(int level = DefaultLevel);
    ~SnapshotCodec();
    SnapshotCodec(const SnapshotCodec &) = delete;
    SnapshotCodec &operator=(const SnapshotCodec &) = delete;

    // Packs UTF-8 text, standalone when `baseUtf8` is null. Throws StoreError
    // for a text above MaxTextBytes.
    QByteArray pack(QByteArrayView utf8, const QByteArray *baseUtf8);
    // The UTF-8 text of a blob pack() made with the same base (null for a
    // standalone blob). Throws StoreError on a damaged blob or a wrong base.
    QByteArray unpack(QByteArrayView blob, const QByteArray *baseUtf8);

private:
    struct CompressDeleter {
        void operator()(ZSTD_CCtx_s *context) const;
    };
    struct DecompressDeleter {
        void operator()(ZSTD_DCtx_s *context) const;
    };
    int level_;
    std::unique_ptr<ZSTD_CCtx_s, CompressDeleter> compress_;
    std::unique_ptr<ZSTD_DCtx_s, DecompressDeleter> decompress_;
};

// One-off forms of SnapshotCodec::pack and unpack for QString texts.
QByteArray packSnapshot(QStringView text, const QByteArray *baseUtf8);
QString unpackSnapshot(QByteArrayView blob, const QByteArray *baseUtf8);

} // namespace sentrel
