#include "storage/exclusions.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

class ExclusionsTest : public ::testing::Test {
protected:
    QString filePath() const { return dir.filePath(QStringLiteral("exclusions.txt")); }
    void putFile(const QByteArray &bytes) const
    {
        QFile f(filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile f(filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

TEST_F(ExclusionsTest, NoFileGivesTheThreeDefaultsAndWritesNothing)
{
    EXPECT_EQ(loadExclusions(dir.path()),
              (QStringList{QStringLiteral("Visitor Number"), QStringLiteral("The total number of downloads"),
                           QStringLiteral("Script execution time")}));
    EXPECT_FALSE(QFile::exists(filePath()));
}

TEST_F(ExclusionsTest, FileLinesBecomeEntriesExactly)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        {"empty file gives the defaults", QByteArray(), defaultExclusions()},
        {"only a byte order mark gives the defaults", QByteArray("\xEF\xBB\xBF"), defaultExclusions()},
        {"one line break is one empty entry", QByteArray("\r\n"), QStringList{QString()}},
        {"final line break makes no extra entry", QByteArray("a\r\nb\r\n"),
         QStringList{QStringLiteral("a"), QStringLiteral("b")}},
        {"no final line break", QByteArray("a\r\nb"), QStringList{QStringLiteral("a"), QStringLiteral("b")}},
        {"LF, CR and inner empty lines", QByteArray("a\n\rb\r\r\nc"),
         QStringList{QStringLiteral("a"), QString(), QStringLiteral("b"), QString(), QStringLiteral("c")}},
        {"blanks, case and duplicates are kept", QByteArray(" Visitor number \nx\nx\n"),
         QStringList{QStringLiteral(" Visitor number "), QStringLiteral("x"), QStringLiteral("x")}},
        {"UTF-8", QByteArray("Besucherz\xC3\xA4hler\n\xE2\x82\xAC\n"),
         QStringList{u16(u"Besucherzähler"), u16(u"€")}},
        {"UTF-8 with byte order mark", QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n"),
         QStringList{u16(u"été")}},
        {"8-bit text falls back to Windows-1252", QByteArray("Besucherz\xE4hler\r\n\x80 5\r\n"),
         QStringList{u16(u"Besucherzähler"), u16(u"€ 5")}},
        {"UTF-16 named by its byte order mark",
         QByteArray("\xFF\xFE"
                    "a\0\r\0\n\0\xE9\0",
                    10),
         QStringList{QStringLiteral("a"), u16(u"é")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        putFile(c.bytes);
        EXPECT_EQ(loadExclusions(dir.path()), c.entries);
    }
}

TEST_F(ExclusionsTest, FileThatCannotBeReadThrows)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("exclusions.txt")));
    EXPECT_THROW(loadExclusions(dir.path()), Error);
}

TEST_F(ExclusionsTest, EditorShowsEveryEntryFollowedByCrLf)
{
    EXPECT_EQ(exclusionEditorText({QStringLiteral("a"), QString(), QStringLiteral("b ")}),
              u16(u"a\r\n\r\nb \r\n"));
    EXPECT_EQ(exclusionEditorText({}), QString());
}

TEST_F(ExclusionsTest, OkReplacesListAndWritesTheTextUnchangedAsUtf8)
{
    QStringList list = loadExclusions(dir.path());
    confirmExclusions(list, dir.path(), u16(u"Zähler 😀\r\nvisits\ntail"));
    EXPECT_EQ(list, (QStringList{u16(u"Zähler 😀"), QStringLiteral("visits"), QStringLiteral("tail")}));
    EXPECT_EQ(fileBytes(), QByteArray("Z\xC3\xA4hler \xF0\x9F\x98\x80\r\nvisits\ntail"));
    EXPECT_EQ(loadExclusions(dir.path()), list) << "read back as written";
}

TEST_F(ExclusionsTest, ClearingTheEditorEmptiesTheListAndTheDefaultsReturnNextStart)
{
    QStringList list = loadExclusions(dir.path());
    confirmExclusions(list, dir.path(), QString());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(fileBytes(), QByteArray());
    EXPECT_EQ(loadExclusions(dir.path()), defaultExclusions());
}

TEST_F(ExclusionsTest, FailedWriteThrowsAfterTheListWasReplaced)
{
    putFile("old\r\n");
    QStringList list = loadExclusions(dir.path());
    const QString gone = dir.filePath(QStringLiteral("gone"));
    try {
        confirmExclusions(list, gone, u16(u"new\r\n"));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("exclusions.txt"))) << e.what();
    }
    EXPECT_EQ(list, QStringList{QStringLiteral("new")});
    EXPECT_EQ(fileBytes(), QByteArray("old\r\n")) << "the other folder's file is untouched";
}

} // namespace
