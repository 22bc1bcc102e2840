#include "dialogs/exclusionform.h"
#include "storage/exclusions.h"
#include "support/qtext.h"
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

class RecordedErrors : public ExclusionErrorSink {
public:
    void showError(const QString &message) override { messages.append(message); }
    QStringList messages;
};

class ExclusionFormTest : public ::testing::Test {
protected:
    QByteArray fileBytes() const
    {
        QFile f(folder + QStringLiteral("exclusions.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString folder = dir.path() + u'/';
    QStringList list = defaultExclusions();
    RecordedErrors errors;
};

} // namespace

TEST_F(ExclusionFormTest, ShowsTheListAndOkReplacesListAndFile)
{
    QPointer<TFormExclusion> dialog = Exclusions1Click(list, folder, errors, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Exclusions"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->Memo1->toPlainText(),
              QStringLiteral("Visitor Number\nThe total number of downloads\nScript execution time\n"));
    dialog->Memo1->setPlainText(QStringLiteral("Counter: \nüber\n\nvisits"));
    dialog->Button1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
    EXPECT_EQ(list, (QStringList{QStringLiteral("Counter: "), QStringLiteral("über"), QString(),
                                 QStringLiteral("visits")}));
    EXPECT_EQ(fileBytes(), QByteArray("Counter: \r\n\xC3\xBC"
                                      "ber\r\n\r\nvisits"));
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(ExclusionFormTest, ClearedFieldEmptiesListAndWritesEmptyFile)
{
    TFormExclusion *dialog = Exclusions1Click(list, folder, errors, nullptr);
    dialog->Memo1->clear();
    dialog->Button1->click();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(fileBytes(), QByteArray());
}

TEST_F(ExclusionFormTest, CancelEscapeAndCloseChangeNothing)
{
    const std::function<void(TFormExclusion &)> ways[] = {
        [](TFormExclusion &d) { d.Button2->click(); },
        [](TFormExclusion &d) { QTest::keyClick(d.Memo1, Qt::Key_Escape); },
        [](TFormExclusion &d) { d.close(); },
    };
    int n = 0;
    for (const auto &way : ways) {
        SCOPED_TRACE(n++);
        QPointer<TFormExclusion> dialog = Exclusions1Click(list, folder, errors, nullptr);
        dialog->Memo1->setPlainText(QStringLiteral("changed"));
        way(*dialog);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(dialog);
        EXPECT_EQ(list, defaultExclusions());
        EXPECT_EQ(fileBytes(), QByteArray("<missing>"));
    }
}

TEST_F(ExclusionFormTest, SeveralOpenAtOnceLastOkDecides)
{
    TFormExclusion *first = Exclusions1Click(list, folder, errors, nullptr);
    TFormExclusion *second = Exclusions1Click(list, folder, errors, nullptr);
    second->Memo1->setPlainText(QStringLiteral("second\n"));
    second->Button1->click();
    EXPECT_EQ(first->Memo1->toPlainText(),
              exclusionEditorText(defaultExclusions()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    first->Memo1->setPlainText(QStringLiteral("first\n"));
    first->Button1->click();
    EXPECT_EQ(list, QStringList{QStringLiteral("first")});
    EXPECT_EQ(fileBytes(), QByteArray("first\r\n"));
}

TEST_F(ExclusionFormTest, FailedWriteShowsErrorAndKeepsDialogOpen)
{
    const QString missing = folder + QStringLiteral("no such folder/");
    QPointer<TFormExclusion> dialog = Exclusions1Click(list, missing, errors, nullptr);
    dialog->Memo1->setPlainText(QStringLiteral("kept\n"));
    dialog->Button1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_FALSE(errors.messages[0].isEmpty());
    EXPECT_EQ(list, QStringList{QStringLiteral("kept")}); // replaced before the write
    EXPECT_EQ(dialog->Memo1->toPlainText(), QStringLiteral("kept\n"));
    dialog->close();
}
