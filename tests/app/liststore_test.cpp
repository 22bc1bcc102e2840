// The window's URL list and the store never part: whatever a delete or a
// refused edit does to one, the list shows afterwards what the store holds.
#include "app/urllistview.h"
#include "dialogs/editurl.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include "windowfixture.h"
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

const QString Twice = QStringLiteral("http://twice.test/");
const QString Other = QStringLiteral("http://other.test/");
const QString Late = QStringLiteral("http://late.test/");

class ListAndStoreTest : public ::testing::Test {
protected:
    // Writes to the data folder as another program would, beside the window.
    void addBehindTheWindow(std::initializer_list<QString> urls)
    {
        WebsiteDb db(fixture.dataFolder(), StoreSettings{});
        for (const QString &url : urls)
            db.DbAddUrl(url);
    }
    QStringList storeUrls()
    {
        QStringList urls;
        for (const ListedWebsite &w : fixture.window().store().DbLoadWebsites())
            urls.append(w.url);
        return urls;
    }

    WindowFixture fixture;
};

TEST_F(ListAndStoreTest, DeletingOneOfTwoRowsOfOneUrlTakesBothFromTheWindowAsFromTheStore)
{
    addBehindTheWindow({Twice, Other, Twice});
    TAppForm &window = fixture.start();
    ASSERT_EQ(fixture.captions(), QStringList({Twice, Other, Twice}));

    fixture.selectRows({2});
    window.commands().Delete1->trigger();
    EXPECT_EQ(fixture.captions(), storeUrls());
    EXPECT_EQ(fixture.captions(), QStringList({Other}));

    fixture.start();
    EXPECT_EQ(fixture.captions(), QStringList({Other}));
}

TEST_F(ListAndStoreTest, ARefusedRenameShowsTheListAsTheStoreHoldsIt)
{
    addBehindTheWindow({Twice, Other});
    TAppForm &window = fixture.start();
    window.urlModel().setStatus(window.urlModel().idAt(0), QStringLiteral("OK"));
    addBehindTheWindow({Late});

    fixture.selectRows({1});
    window.EditURL1Click();
    auto *edit = window.findChild<TFormEditURL *>();
    ASSERT_NE(edit, nullptr);
    edit->Edit1->setText(Twice);
    edit->Button1->click();

    ASSERT_FALSE(fixture.boxes.messages.empty());
    EXPECT_TRUE(fixture.boxes.messages.back().text.contains(QStringLiteral("Already in the list")));
    EXPECT_EQ(fixture.captions(), storeUrls());
    EXPECT_EQ(fixture.captions(), QStringList({Twice, Other, Late}));
    // The rows that stay are the same rows: their cells are kept.
    EXPECT_EQ(fixture.statuses().front(), QStringLiteral("OK"));
}

} // namespace
} // namespace sentrel::test
