#include "cli/clitesting.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel::cli;

namespace {

using CliResult = sentrel::test::CliRun;

class ExclusionsCli : public ::testing::Test {
protected:
    CliResult run(const QStringList &args, const std::string &input = {}) const
    {
        return sentrel::test::runCliOn(data.path(), args, input);
    }
    QString file(const char *name) const { return data.filePath(QString::fromUtf8(name)); }
    QByteArray bytesOf(const char *name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void put(const char *name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir data;
};

TEST_F(ExclusionsCli, PrintsTheDefaultsWithoutWritingAFile)
{
    const CliResult r = run({QStringLiteral("exclusions")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Visitor Number\nThe total number of downloads\nScript execution time\n");
    EXPECT_FALSE(QFile::exists(file("exclusions.txt")));
}

TEST_F(ExclusionsCli, SetReplacesTheListFromAFileAndTheNextRunSeesIt)
{
    put("new.txt",
        "Besucherz\xE4hler\r\n\r\nUhrzeit: \r\n"); // Windows-1252, an empty entry, a trailing blank
    const CliResult set = run({QStringLiteral("exclusions"), QStringLiteral("--set"), file("new.txt")});
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "Besucherz\xC3\xA4hler\n\nUhrzeit: \n");
    EXPECT_EQ(bytesOf("exclusions.txt"), QByteArray("Besucherz\xC3\xA4hler\r\n\r\nUhrzeit: \r\n"));
    EXPECT_EQ(run({QStringLiteral("exclusions")}).out, set.out);
}

TEST_F(ExclusionsCli, SetFromStandardInputAndAnEmptyListBringsTheDefaultsBack)
{
    const CliResult set =
        run({QStringLiteral("exclusions"), QStringLiteral("--set"), QStringLiteral("-")}, "");
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "");
    EXPECT_EQ(bytesOf("exclusions.txt"), QByteArray());
    EXPECT_EQ(run({QStringLiteral("exclusions")}).out,
              "Visitor Number\nThe total number of downloads\nScript execution time\n");
}

TEST_F(ExclusionsCli, FailuresAndWrongUse)
{
    const CliResult missing = run({QStringLiteral("exclusions"), QStringLiteral("--set"), file("none.txt")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("none.txt"), std::string::npos) << missing.err;
    EXPECT_FALSE(QFile::exists(file("exclusions.txt"))) << "nothing written on a failed read";

    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("exclusions.txt")));
    EXPECT_EQ(run({QStringLiteral("exclusions")}).code, 1)
        << "an unreadable list is an error, not the defaults";
    put("new.txt", "x\n");
    EXPECT_EQ(run({QStringLiteral("exclusions"), QStringLiteral("--set"), file("new.txt")}).code, 1);

    for (const QStringList &args : {QStringList{QStringLiteral("exclusions"), QStringLiteral("extra")},
                                    QStringList{QStringLiteral("exclusions"), QStringLiteral("--set")},
                                    QStringList{QStringLiteral("exclusions"), QStringLiteral("--bogus")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliResult r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.empty());
    }
}

} // namespace
