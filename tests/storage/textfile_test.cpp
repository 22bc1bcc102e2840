#include "storage/textfile.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace std::literals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(DecodeText, ByteOrderMarkDecidesOtherwiseUtf8ThenWindows1252)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
    } cases[] = {
        {"empty", QByteArray(), QString(), TextEncoding::Utf8},
        {"plain UTF-8", QByteArray("gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80"), u16(u"grüß 😀"),
         TextEncoding::Utf8},
        {"UTF-8 mark is dropped", QByteArray("\xEF\xBB\xBF\xC3\xA9"), u16(u"é"), TextEncoding::Utf8Bom},
        {"only a UTF-8 mark", QByteArray("\xEF\xBB\xBF"), QString(), TextEncoding::Utf8Bom},
        {"not UTF-8: every byte in Windows-1252", QByteArray("\x80 caf\xE9 \x9F"), u16(u"€ café Ÿ"),
         TextEncoding::Windows1252},
        {"truncated sequence at the end", QByteArray("ok\xC3"), u16(u"okÃ"), TextEncoding::Windows1252},
        {"overlong form is not UTF-8", QByteArray("\xC0\xAF"), u16(u"À¯"), TextEncoding::Windows1252},
        {"encoded surrogate is not UTF-8", QByteArray("\xED\xA0\x80"), u16(u"í\u00A0€"),
         TextEncoding::Windows1252},
        {"UTF-16 LE mark",
         QByteArray("\xFF\xFE"
                    "a\0\x3D\xD8\x00\xDE",
                    8),
         u16(u"a😀"), TextEncoding::Utf16LE},
        {"UTF-16 BE mark", QByteArray("\xFE\xFF\0a\0\xE9", 6), u16(u"aé"), TextEncoding::Utf16BE},
        {"UTF-32 LE mark wins over UTF-16 LE", QByteArray("\xFF\xFE\0\0a\0\0\0", 8), u16(u"a"),
         TextEncoding::Utf32LE},
        {"UTF-32 BE mark", QByteArray("\0\0\xFE\xFF\0\0\0a", 8), u16(u"a"), TextEncoding::Utf32BE},
        {"broken UTF-8 after its mark keeps the mark's encoding", QByteArray("\xEF\xBB\xBFok\xFF"),
         u16(u"ok\uFFFD"), TextEncoding::Utf8Bom},
        {"NUL bytes are kept", QByteArray("a\0b", 3), u16(u"a\0b"sv), TextEncoding::Utf8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.encoding, c.encoding);
    }
}

TEST(DecodeText, UndefinedWindows1252BytesKeepTheirCodes)
{
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in the code page;
    // they must not vanish, or a file read and written back would lose bytes.
    const DecodedText d = decodeText(QByteArray("\x81\x8D\x8F\x90\x9D"));
    EXPECT_EQ(d.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(d.text, u16(u"\u0081\u008D\u008F\u0090\u009D"));
}

class TextFileTest : public ::testing::Test {
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

TEST_F(TextFileTest, ReadsAndDecodesAFile)
{
    put(path("list.txt"), QByteArray("\xEF\xBB\xBFhttp://a/\r\n"));
    const DecodedText d = readTextFile(path("list.txt"));
    EXPECT_EQ(d.text, u16(u"http://a/\r\n"));
    EXPECT_EQ(d.encoding, TextEncoding::Utf8Bom);
}

TEST_F(TextFileTest, UnreadableFileThrowsNamingTheFile)
{
    for (const char *name : {"missing.txt", "folder.txt"}) {
        SCOPED_TRACE(name);
        QDir(dir.path()).mkdir(QStringLiteral("folder.txt"));
        try {
            readTextFile(path(name));
            FAIL() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path(name)))) << e.what();
        }
    }
}

TEST_F(TextFileTest, WritesUtf8WithoutMarkAndReplacesTheOldContent)
{
    const QString file = path("out.txt");
    put(file, QByteArray("a much longer old content that must not survive at the end"));
    writeUtf8File(file, u16(u"é😀\r\n"));
    EXPECT_EQ(bytesOf(file), QByteArray("\xC3\xA9\xF0\x9F\x98\x80\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.txt")})
        << "no temporary file left behind";
}

TEST_F(TextFileTest, FailedWriteThrowsAndLeavesTheOldFile)
{
    // The target is a folder: the new content cannot take its place.
    QDir(dir.path()).mkdir(QStringLiteral("busy.txt"));
    EXPECT_THROW(writeFileAtomically(path("busy.txt"), "new"), Error);
    EXPECT_TRUE(QFileInfo(path("busy.txt")).isDir());

    // The folder is gone: nothing can be written at all.
    const QString gone = path("gone/out.txt");
    try {
        writeFileAtomically(gone, "new");
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot write file \""))) << e.what();
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(gone))) << e.what();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{}) << "no temporary file left behind";
}

} // namespace
