#include "app/lifecycle.h"
#include "fakes.h"
#include "storage/exclusions.h"
#include "support/qtext.h"
#include "text/translation.h"
#include <QFile>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;

namespace {

class RecordedReset : public ResetActions {
public:
    explicit RecordedReset(TempStore &store) : store_(store) {}
    void clearStartupComplete() override { calls.push_back("flag"); }
    void closeStore() override
    {
        calls.push_back("close");
        store_.close();
    }
    void processPendingEvents() override { calls.push_back("events"); }
    void restartExecutable() override
    {
        calls.push_back("restart");
        for (const QString &f : resetFiles(store_.folder()))
            if (QFile::exists(f))
                leftAtRestart.append(f);
    }
    void quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
    QStringList leftAtRestart;

private:
    TempStore &store_;
};

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

class ResetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.db().DbAddUrl(QStringLiteral("http://a.test/"));
        touch(store.folder() + QStringLiteral("exclusions.txt"));
        touch(store.folder() + QStringLiteral("settings.ini"));
        touch(store.folder() + QStringLiteral("keep.txt"));
    }
    TempStore store;
    RecordedBoxes boxes;
    Translator english;
    RecordedReset actions{store};
};

} // namespace

TEST_F(ResetTest, YesDeletesTheThreeFilesThenRestartsAndEnds)
{
    boxes.answer = dialogresult::Yes;
    EXPECT_TRUE(resetToDefaults(boxes, english, store.folder(), actions));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].message, QStringLiteral("Restart Application?"));
    EXPECT_EQ(boxes.asked[0].caption, QStringLiteral("Confirmation"));
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"flag", "close", "events", "restart", "quit"}));
    EXPECT_TRUE(actions.leftAtRestart.isEmpty()) << actions.leftAtRestart.join(u' ').toStdString();
    for (const char *name :
         {"websites.db", "websites.db-wal", "websites.db-shm", "exclusions.txt", "settings.ini"})
        EXPECT_FALSE(QFile::exists(store.folder() + QString::fromLatin1(name))) << name;
    EXPECT_TRUE(QFile::exists(store.folder() + QStringLiteral("keep.txt")));
}

TEST_F(ResetTest, AnyOtherAnswerChangesNothing)
{
    for (int answer : {dialogresult::No, dialogresult::Cancel}) {
        SCOPED_TRACE(answer);
        boxes.answer = answer;
        EXPECT_FALSE(resetToDefaults(boxes, english, store.folder(), actions));
        EXPECT_TRUE(actions.calls.empty());
        EXPECT_TRUE(QFile::exists(store.folder() + QStringLiteral("websites.db")));
        EXPECT_TRUE(QFile::exists(store.folder() + QStringLiteral("settings.ini")));
    }
}

TEST_F(ResetTest, AFileThatCannotBeDeletedIsSkipped)
{
    // settings.ini as a non-empty folder: it cannot be removed as a file.
    QFile::remove(store.folder() + QStringLiteral("settings.ini"));
    ASSERT_TRUE(QDir().mkpath(store.folder() + QStringLiteral("settings.ini/inner")));
    boxes.answer = dialogresult::Yes;
    EXPECT_TRUE(resetToDefaults(boxes, english, store.folder(), actions));
    EXPECT_FALSE(QFile::exists(store.folder() + QStringLiteral("websites.db")));
    EXPECT_FALSE(QFile::exists(store.folder() + QStringLiteral("exclusions.txt")));
    EXPECT_EQ(actions.calls.back(), "quit");
}
