#include "check/enginetesting.h"
#include "storage/groupedsaves.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace sentrel;
using namespace std::chrono_literals;

namespace {

// The engine on the real store, while another program changes the row
// during the download: its save finds no row, and the check ends as one of
// a row deleted here would.
TEST(CheckOfAChangedRow, WhenAnotherProgramRemovedTheRowNothingIsSavedOrAnnounced)
{
    using namespace sentrel::enginetest;
    const QString url = QStringLiteral("http://a/");
    const struct {
        const char *name;
        const char16_t *stored;    // the row as the check reads it
        const char16_t *meanwhile; // what another program does during the download
        QStringList contentsAfter; // CONTENT of every row, in store order
        const char16_t *status;    // of the list row
        int logLines;
    } cases[] = {
        {"nothing happens: the change is saved and announced",
         u"CONTENT='old', STATUS='OK'",
         u"",
         {QStringLiteral("new"), {}, {}},
         u"Changed!",
         1},
        {"deleted before a change",
         u"CONTENT='old', STATUS='OK'",
         u"delete from WEBSITES where ID=1;",
         {{}, {}},
         u"",
         0},
        {"deleted before a first check",
         u"CONTENT=NULL",
         u"delete from WEBSITES where ID=1;",
         {{}, {}},
         u"",
         0},
        {"renamed before a change",
         u"CONTENT='old', STATUS='OK'",
         u"update WEBSITES set URL='http://renamed/', CONTENT=NULL, STATUS=NULL where ID=1;",
         {{}, {}, {}},
         u"",
         0},
        {"deleted and added again",
         u"CONTENT='old', STATUS='OK'",
         u"delete from WEBSITES where ID=1; insert into WEBSITES (URL) values ('http://a/');",
         {{}, {}, {}},
         u"",
         0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir caseDir;
        WebsiteDb caseDb(caseDir.path() + u'/', StoreSettings{});
        for (const char *u : {"http://a/", "http://b/", "http://c/"})
            caseDb.DbAddUrl(QString::fromLatin1(u));
        SqliteConnection(caseDb.path())
            .execute(QStringLiteral("update WEBSITES set %1 where ID=1;").arg(QString::fromUtf16(c.stored)));
        GroupedSaves store(caseDb);
        TestList rows({url});
        RecordingStoreErrors storeErrors;
        FakeDisplay display;
        FakePreferences preferences;
        CountingPump pump;
        ScriptedLoader loader;
        loader.pages.insert(url, QStringLiteral("new"));
        loader.duringLoad = [&] {
            SqliteConnection other(caseDir.filePath(QStringLiteral("websites.db")));
            for (const QString &statement : QString::fromUtf16(c.meanwhile).split(u';', Qt::SkipEmptyParts))
                other.execute(statement);
        };
        FixedClock clock;
        QStringList changed;
        OutcomePainter painter(rows.model, display);
        CheckEngine engine(
            CheckServices{rows.model, store, storeErrors, painter, preferences, pump, loader, clock});
        if (engine.check(rows.id(0)).changed)
            changed.append(url);

        QStringList contents;
        SqliteConnection other(caseDir.filePath(QStringLiteral("websites.db")));
        for (SqliteStatement all = other.prepare(u"select CONTENT from WEBSITES order by ID;"); all.step();)
            contents.append(all.text(0));
        EXPECT_EQ(contents, c.contentsAfter);
        EXPECT_EQ(rows.row(0).status, QString::fromUtf16(c.status));
        EXPECT_EQ(rows.row(0).lastChange.isEmpty(), c.logLines == 0);
        EXPECT_EQ(display.log.size(), c.logLines);
        EXPECT_EQ(changed.size(), c.logLines);
        EXPECT_EQ(display.statusText, u"");
        EXPECT_TRUE(storeErrors.texts.isEmpty());
    }
}

} // namespace
