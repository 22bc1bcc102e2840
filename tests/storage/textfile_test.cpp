#include "storage/textfile.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

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
