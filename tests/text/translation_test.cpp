#include "support/qtext.h"
#include "text/lookeduptexts.h"
#include "text/translation.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

constexpr quint16 GermanGermany = 1031;

// An executable folder with a Languages folder the test fills.
class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(exe.path()).mkdir(QStringLiteral("Languages"))); }
    void put(const char *name, const QByteArray &bytes) const
    {
        QFile f(exe.filePath(QStringLiteral("Languages/") + QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void putGerman() const
    {
        put("German.lang.txt", "\xEF\xBB\xBF# comment line\r\n"
                               "{Yes}Ja\r\n"
                               "{No}\r\n"
                               "{Confirmation} Best\xC3\xA4tigung\r\n"
                               "{yes}ja klein\r\n"
                               "{Restart Application?}Neu starten?\n"
                               "{Restart Application?}second line loses\r"
                               "{INFO:Translated By}Anna, Ben ,\r\n");
    }
    Translator load(std::optional<quint16> id = GermanGermany) const
    {
        return Translator::load(exe.path(), id);
    }
    QTemporaryDir exe;
};

TEST_F(LanguageTest, TableLineSelectsTheFileAndTranslateLooksUpKeys)
{
    putGerman();
    put("LanguageCodes.csv", "1036,French.lang.txt\r\n1031,German.lang.txt\r\n");
    const Translator t = load();
    ASSERT_TRUE(t.active());
    EXPECT_EQ(t.currentLanguageFile(), exe.filePath(QStringLiteral("Languages/German.lang.txt")));
    EXPECT_EQ(t.languageName(), QStringLiteral("German"));

    const struct {
        const char *name;
        QString key, result;
    } cases[] = {
        {"translated", QStringLiteral("Yes"), QStringLiteral("Ja")},
        {"empty translation keeps the English text", QStringLiteral("No"), QStringLiteral("No")},
        {"leading blank of a translation is kept", QStringLiteral("Confirmation"), u16(u" Bestätigung")},
        {"keys are case-sensitive", QStringLiteral("YES"), QStringLiteral("YES")},
        {"first matching line decides", QStringLiteral("Restart Application?"),
         QStringLiteral("Neu starten?")},
        {"missing key", QStringLiteral("INFORMATION"), QStringLiteral("INFORMATION")},
        {"a key must be whole", QStringLiteral("Ye"), QStringLiteral("Ye")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(t.Translate(c.key), c.result);
    }
    EXPECT_EQ(t.translators(), (QStringList{QStringLiteral("Anna"), QStringLiteral("Ben")}));
}

TEST_F(LanguageTest, TableFieldsAreTrimmedAndTheFileNameIgnoresLetterCase)
{
    putGerman();
    put("LanguageCodes.csv", "  1031 \t,  german.LANG.txt  \n");
    const Translator t = load();
    EXPECT_EQ(t.currentLanguageFile(), exe.filePath(QStringLiteral("Languages/German.lang.txt")))
        << "the listed file's own letter case";
    EXPECT_EQ(t.Translate(QStringLiteral("Yes")), QStringLiteral("Ja"));
}

TEST_F(LanguageTest, FirstTableLineForACodeCounts)
{
    putGerman();
    put("Other.lang.txt", "{Yes}Jo\n");
    put("LanguageCodes.csv", "no comma here\n1031,Other.lang.txt\n1031,German.lang.txt\n");
    EXPECT_EQ(load().Translate(QStringLiteral("Yes")), QStringLiteral("Jo"));
}

TEST_F(LanguageTest, OnlyTheFirstCommaSeparates)
{
    put("a,b lang.txt", "{Yes}Komma\n");
    put("LanguageCodes.csv", "1031,a,b lang.txt\n");
    EXPECT_EQ(load().Translate(QStringLiteral("Yes")), QStringLiteral("Komma"));
}

TEST_F(LanguageTest, AnyFileEndingInLangTxtCounts)
{
    put("Xlang.txt", "{Yes}X\n");
    put("notes.txt", "{Yes}N\n");
    put("LanguageCodes.csv", "1031,Xlang.txt\n");
    const Translator t = load();
    EXPECT_EQ(t.languageFiles(), QStringList{QStringLiteral("Xlang.txt")});
    EXPECT_EQ(t.Translate(QStringLiteral("Yes")), QStringLiteral("X"));
    EXPECT_EQ(t.languageName(), QStringLiteral("X"));
}

TEST_F(LanguageTest, UtfSixteenTableNamedByItsByteOrderMark)
{
    putGerman();
    const QString table = QStringLiteral("1031,German.lang.txt\r\n");
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char *>(table.utf16()), table.size() * 2);
    put("LanguageCodes.csv", bytes);
    EXPECT_TRUE(load().active());
}

TEST_F(LanguageTest, EveryFailureFallsBackToEnglish)
{
    const struct {
        const char *name;
        const char *table;      // nullptr: no LanguageCodes.csv
        const char *germanFile; // nullptr: no German.lang.txt
        std::optional<quint16> id;
    } cases[] = {
        {"no code table", nullptr, "{Yes}Ja\n", GermanGermany},
        {"no line for the language", "1036,German.lang.txt\n", "{Yes}Ja\n", GermanGermany},
        {"bare language name instead of a file name", "1031,German\n", "{Yes}Ja\n", GermanGermany},
        {"named file does not exist", "1031,German.lang.txt\n", nullptr, GermanGermany},
        {"name outside the folder's list", "1031,../German.lang.txt\n", "{Yes}Ja\n", GermanGermany},
        {"code written differently", "01031,German.lang.txt\n", "{Yes}Ja\n", GermanGermany},
        {"language file is not UTF-8", "1031,German.lang.txt\n", "{Yes}J\xE4\n", GermanGermany},
        {"user language unknown", "1031,German.lang.txt\n", "{Yes}Ja\n", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir fresh;
        ASSERT_TRUE(QDir(fresh.path()).mkpath(QStringLiteral("Languages")));
        const auto write = [&](const char *name, const char *bytes) {
            QFile f(fresh.filePath(QStringLiteral("Languages/") + QString::fromUtf8(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        if (c.table)
            write("LanguageCodes.csv", c.table);
        if (c.germanFile)
            write("German.lang.txt", c.germanFile);
        // A file outside the Languages folder that a table line might reach.
        QFile outside(fresh.filePath(QStringLiteral("German.lang.txt")));
        ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
        outside.write("{Yes}Draussen\n");
        outside.close();

        const Translator t = Translator::load(fresh.path(), c.id);
        EXPECT_FALSE(t.active());
        EXPECT_EQ(t.currentLanguageFile(), QString());
        EXPECT_EQ(t.Translate(QStringLiteral("Yes")), QStringLiteral("Yes"));
        EXPECT_EQ(t.translators(), QStringList());
    }
}

TEST(Language, NoLanguagesFolderMeansEnglish)
{
    QTemporaryDir exe;
    const Translator t = Translator::load(exe.path(), 1031);
    EXPECT_FALSE(t.active());
    EXPECT_TRUE(t.languageFiles().isEmpty());
    EXPECT_EQ(t.languagesFolder(), exe.filePath(QStringLiteral("Languages")));
    for (const char16_t *key : LookedUpTexts)
        EXPECT_EQ(t.Translate(QString::fromUtf16(key)), QString::fromUtf16(key));
    EXPECT_FALSE(QFileInfo::exists(t.languagesFolder())) << "the folder is never created";
}

TEST(LanguageCodeTable, FileNameForACode)
{
    const QString table =
        u16(u"1031,German.lang.txt\r\n2055 , Swiss.lang.txt \r\nbad line\n1055,T\u00FCrk.lang.txt");
    EXPECT_EQ(languageFileFor(table, 1031), QStringLiteral("German.lang.txt"));
    EXPECT_EQ(languageFileFor(table, 2055), QStringLiteral("Swiss.lang.txt"));
    EXPECT_EQ(languageFileFor(table, 1055), u16(u"Türk.lang.txt"));
    EXPECT_EQ(languageFileFor(table, 1036), QString());
    EXPECT_EQ(languageFileFor(QString(), 1031), QString());
}

// The shipped Languages folder, as the build places it next to the programs.
class ShippedLanguages : public ::testing::TestWithParam<const char *> {};

TEST_P(ShippedLanguages, TranslateEveryLookedUpText)
{
    const QString languages = QStringLiteral(SENTREL_LANGUAGES_DIR);
    QFile table(languages + QStringLiteral("/LanguageCodes.csv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QString tableText = QString::fromUtf8(table.readAll());
    const QString file = QString::fromUtf8(GetParam()) + QStringLiteral(".lang.txt");
    EXPECT_TRUE(tableText.contains(u',' + file)) << "the code table names " << GetParam();

    // Load it through the table, as start-up would, with the first code naming it.
    std::optional<quint16> code;
    for (const QString &line : tableText.split(u'\n'))
        if (line.trimmed().endsWith(u',' + file))
            code = quint16(line.section(u',', 0, 0).trimmed().toUInt());
    ASSERT_TRUE(code);
    const Translator t = Translator::load(QFileInfo(languages).absolutePath(), code);
    ASSERT_TRUE(t.active());
    EXPECT_EQ(QFileInfo(t.currentLanguageFile()).fileName(), file);
    for (const char16_t *key : LookedUpTexts) {
        const QString english = QString::fromUtf16(key);
        const QString translated = t.Translate(english);
        EXPECT_FALSE(translated.trimmed().isEmpty()) << english.toStdString();
        // "No" is "No" in Spanish; everything else differs from the English text.
        const bool sameInThatLanguage = (english == u"No" && file == u"Spanish.lang.txt") ||
                                        english == u"Confirmation" || english == u"INFORMATION";
        if (!sameInThatLanguage) {
            EXPECT_NE(translated, english) << english.toStdString() << " in " << GetParam();
        }
    }
    EXPECT_FALSE(t.translators().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguages,
                         ::testing::Values("German", "French", "Spanish", "Turkish"));

} // namespace
