// Packing and unpacking page texts for the history: round trips, deltas
// against a base, and blobs that must be refused rather than misread.
#include "storage/snapshotcodec.h"
#include "storage/storesqlite.h"
#include <QStringList>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

// Lines of varied words: compresses like a page text, not like a run of one
// character.
QString pageText(int lines, int seed)
{
    static const QStringList words = {QStringLiteral("price"),    QStringLiteral("offer"),
                                      QStringLiteral("news"),     QStringLiteral("stock"),
                                      QStringLiteral("update"),   QStringLiteral("Zürich"),
                                      QStringLiteral("delivery"), QStringLiteral("order")};
    QString text;
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (int line = 0; line < lines; ++line) {
        for (int word = 0; word < 8; ++word) {
            state = state * 1664525u + 1013904223u;
            text += words[int(state >> 24) % words.size()] + QString::number(state % 1000) + u' ';
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString withLineChanged(QString text, int every)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int i = 0; i < lines.size(); i += every)
        lines[i] = QStringLiteral("changed line %1").arg(i);
    return lines.join(QStringLiteral("\r\n"));
}

struct RoundTripCase {
    const char *name;
    QString text;
};

void PrintTo(const RoundTripCase &c, std::ostream *out)
{
    *out << c.name;
}

class SnapshotRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SnapshotRoundTrip, StandaloneAndAsDeltaGiveTheTextBack)
{
    const QString &text = GetParam().text;
    EXPECT_EQ(unpackSnapshot(packSnapshot(text, nullptr), nullptr), text);
    const QByteArray base = pageText(50, 7).toUtf8();
    EXPECT_EQ(unpackSnapshot(packSnapshot(text, &base), &base), text);
}

INSTANTIATE_TEST_SUITE_P(Texts, SnapshotRoundTrip,
                         testing::Values(RoundTripCase{"Empty", QString()},
                                         RoundTripCase{"NonAscii",
                                                       QStringLiteral("Grüße, 日本語, emoji 😀\r\nΩ")},
                                         RoundTripCase{"OneMegabyte", pageText(20000, 3).left(1024 * 1024)}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SnapshotCodec, ADeltaAgainstItsNeighbourIsAFractionOfTheStandalone)
{
    const QString older = pageText(2000, 1); // about 100 KB
    const QByteArray newer = withLineChanged(older, 100).toUtf8();
    const QByteArray standalone = packSnapshot(older, nullptr);
    const QByteArray delta = packSnapshot(older, &newer);
    EXPECT_LT(delta.size() * 20, standalone.size()) << delta.size() << " vs " << standalone.size();
    EXPECT_EQ(unpackSnapshot(delta, &newer), older);
}

TEST(SnapshotCodec, AContextPacksOneTextAfterAnother)
{
    // A reused context must not carry the previous base or level over.
    SnapshotCodec codec;
    const QByteArray first = pageText(300, 1).toUtf8();
    const QByteArray second = pageText(300, 2).toUtf8();
    const QByteArray delta = codec.pack(second, &first);
    const QByteArray standalone = codec.pack(first, nullptr);
    EXPECT_EQ(codec.unpack(standalone, nullptr), first);
    EXPECT_EQ(codec.unpack(delta, &first), second);
    EXPECT_EQ(codec.unpack(standalone, nullptr), first);
}

void expectRefused(QByteArrayView blob, const QByteArray *base, const char *messagePart)
{
    try {
        unpackSnapshot(blob, base);
        ADD_FAILURE() << "accepted a blob it should refuse";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().contains(QString::fromLatin1(messagePart))) << e.what();
    }
}

TEST(SnapshotCodec, DamagedBlobsAreRefused)
{
    const QByteArray good = packSnapshot(pageText(200, 5), nullptr);
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x55);
    QByteArray trailing = good + QByteArray("xyz");
    QByteArray unknownFormat = good;
    unknownFormat[0] = 9;

    expectRefused(QByteArray(), nullptr, "damaged");
    expectRefused(good.left(good.size() - 7), nullptr, "damaged");
    expectRefused(flipped, nullptr, "damaged");
    expectRefused(trailing, nullptr, "damaged");
    expectRefused(unknownFormat, nullptr, "unknown format");
}

TEST(SnapshotCodec, AFrameClaimingGigabytesIsRefusedBeforeAllocating)
{
    // A frame header announcing 4 GB of content, with no content behind it:
    // the tag, magic number, a descriptor with an 8-byte content size and a
    // single segment, then the size.
    QByteArray blob;
    blob.append(char(1));
    blob.append(QByteArray::fromHex("28b52ffd"));
    blob.append(char(0xe0));
    blob.append(QByteArray::fromHex("0000000001000000"));
    expectRefused(blob, nullptr, "claims 4294967296 bytes");
}

TEST(SnapshotCodec, AWrongOrMissingBaseIsRefused)
{
    const QByteArray base = pageText(500, 1).toUtf8();
    const QByteArray delta = packSnapshot(withLineChanged(QString::fromUtf8(base), 50), &base);
    QByteArray sameSizeOtherBase = base;
    sameSizeOtherBase[100] = char(sameSizeOtherBase[100] ^ 0x01);
    const QByteArray shorterBase = base.left(base.size() - 1);

    expectRefused(delta, nullptr, "no base text");
    expectRefused(delta, &sameSizeOtherBase, "another base");
    expectRefused(delta, &shorterBase, "another base");
    expectRefused(packSnapshot(QStringLiteral("standalone"), nullptr), &base, "standalone");
}

} // namespace
