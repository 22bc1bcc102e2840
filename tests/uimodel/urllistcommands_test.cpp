#include "storage/storeerror.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include "text/error.h"
#include "uimodel/urllistcommands.h"
#include <QSet>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

// The list and a selection, addressed by position for brevity.
class ListRows {
public:
    QStringList captions() const { return model.captions(); }
    int rowCount() const { return model.count(); }
    UrlListRow row(int row) const
    {
        const RowId id = model.idAt(row);
        return {model.url(id), model.lastChange(id), model.status(id)};
    }
    void select(std::initializer_list<int> which)
    {
        for (int i : which)
            selected.append(model.idAt(i));
    }
    void deselect(int row) { selected.removeAll(model.idAt(row)); }

    UrlListModel model;
    QList<RowId> selected;
};

// A store that records its calls and fails for the URLs in `failing`.
class FakeStore : public WebsiteRepository {
public:
    std::vector<ListedWebsite> DbLoadWebsites() override
    {
        if (failLoad)
            throw StoreError(QStringLiteral("no such table: WEBSITES"), 1);
        return stored;
    }
    void DbAddUrl(const QString &url) override
    {
        added.append(url);
        failIfListed(url);
    }
    void deleteUrl(const QString &url) override
    {
        deleted.append(url);
        failIfListed(url);
    }
    std::optional<WebsiteRecord> lookup(const QString &url) override
    {
        looked.append(url);
        failIfListed(url);
        return std::nullopt;
    }
    // The list commands neither save checks nor edit options; a call is a fault.
    bool DbSaveWebsite(const QString &url, const QString &, const QString &, std::optional<qint64>) override
    {
        ADD_FAILURE() << "unexpected save of " << url.toStdString();
        return false;
    }
    int editUrl(const QString &targetUrl, const QString &, const WebsiteOptions &) override
    {
        ADD_FAILURE() << "unexpected edit of " << targetUrl.toStdString();
        return 0;
    }

    QSet<QString> failing;
    bool failLoad = false;
    std::vector<ListedWebsite> stored;
    QStringList added, deleted, looked;

private:
    void failIfListed(const QString &url)
    {
        if (failing.contains(url))
            throw StoreError(QStringLiteral("database is locked"), 5);
    }
};

class Messages : public StoreErrorSink {
public:
    void showStoreError(const QString &text) override { shown.append(text); }
    QStringList shown;
};

class UrlList : public ::testing::Test {
protected:
    ListRows rows;
    FakeStore store;
    Messages messages;
};

TEST_F(UrlList, EkleAppendsAndStoresOnceCaseCounts)
{
    EXPECT_TRUE(Ekle(u" example.com ", rows.model, store, messages));
    EXPECT_FALSE(Ekle(u"http://example.com", rows.model, store, messages)) << "same text after the rule";
    EXPECT_FALSE(Ekle(u"   ", rows.model, store, messages));
    EXPECT_TRUE(Ekle(u"http://EXAMPLE.com", rows.model, store, messages));
    const QStringList expected{QStringLiteral("http://example.com"), QStringLiteral("http://EXAMPLE.com")};
    EXPECT_EQ(rows.captions(), expected);
    EXPECT_EQ(store.added, expected);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(rows.row(0).lastChange, QString());
    EXPECT_EQ(rows.row(0).status, QString());
}

TEST_F(UrlList, EkleLinesSkipsWhatIsListedOrAddedEarlierInTheText)
{
    Ekle(u"http://old", rows.model, store, messages);
    EXPECT_EQ(EkleLines(u"old\nnew\n http://new \nNEW\n\nhttp://old\nnew", rows.model, store, messages), 2);
    const QStringList expected{QStringLiteral("http://old"), QStringLiteral("http://new"),
                               QStringLiteral("http://NEW")};
    EXPECT_EQ(rows.captions(), expected);
    EXPECT_EQ(store.added, expected);
}

TEST_F(UrlList, EkleKeepsTheRowWhenTheStoreFails)
{
    store.failing.insert(QStringLiteral("http://b"));
    EkleLines(u"a\r\nb\nc", rows.model, store, messages);
    EXPECT_EQ(rows.captions(), (QStringList{QStringLiteral("http://a"), QStringLiteral("http://b"),
                                            QStringLiteral("http://c")}));
    EXPECT_EQ(messages.shown,
              QStringList{QStringLiteral("Exception raised with message: database is locked")});
}

TEST_F(UrlList, DeleteRemovesEverySelectedRowEvenWhenTheStoreFails)
{
    EkleLines(u"1\n2\n3\n4\n5", rows.model, store, messages);
    rows.select({0, 2, 4});
    store.failing.insert(QStringLiteral("http://3"));
    deleteRows(rows.model, rows.selected, store, messages);
    EXPECT_EQ(rows.captions(), (QStringList{QStringLiteral("http://2"), QStringLiteral("http://4")}));
    EXPECT_EQ(store.deleted, (QStringList{QStringLiteral("http://1"), QStringLiteral("http://3"),
                                          QStringLiteral("http://5")}));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(UrlList, DeleteOfAdjacentSelectedRows)
{
    EkleLines(u"1\n2\n3\n4", rows.model, store, messages);
    rows.select({1, 2, 3});
    deleteRows(rows.model, rows.selected, store, messages);
    EXPECT_EQ(rows.captions(), QStringList{QStringLiteral("http://1")});
}

TEST_F(UrlList, ClipboardTextJoinsSelectedRowsInListOrder)
{
    EXPECT_EQ(clipboardText(rows.model, rows.selected), QString());
    EkleLines(u"1\n2\n3", rows.model, store, messages);
    EXPECT_EQ(clipboardText(rows.model, rows.selected), QString()) << "nothing selected";
    rows.select({2, 0});
    EXPECT_EQ(clipboardText(rows.model, rows.selected), u"http://1\r\nhttp://3");
    EXPECT_EQ(selectedUrls(rows.model, rows.selected),
              (QStringList{QStringLiteral("http://1"), QStringLiteral("http://3")}));
}

TEST_F(UrlList, PreviewLooksUpTheFirstSelectedRow)
{
    EkleLines(u"1\n2\n3\n4\n5", rows.model, store, messages);
    EXPECT_FALSE(contentPreview(rows.model, rows.selected, store, messages));
    EXPECT_TRUE(store.looked.isEmpty()) << "nothing selected: no lookup";
    rows.select({4, 1});
    EXPECT_FALSE(contentPreview(rows.model, rows.selected, store, messages)) << "the fake has no rows";
    EXPECT_EQ(store.looked, QStringList{QStringLiteral("http://2")});
    store.failing.insert(QStringLiteral("http://2"));
    EXPECT_FALSE(contentPreview(rows.model, rows.selected, store, messages));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(UrlList, FillFromStoreAppendsInOrderWithEmptyStatus)
{
    store.stored = {{QStringLiteral("http://a"), QStringLiteral("2024-01-15 12:00:00"), QStringLiteral("OK")},
                    {QStringLiteral("http://b"), QString(), QString()}};
    fillFromStore(rows.model, store, messages);
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.row(0).url, u"http://a");
    EXPECT_EQ(rows.row(0).lastChange, u"2024-01-15 12:00:00");
    EXPECT_EQ(rows.row(0).status, QString()) << "the stored status is not shown";

    ListRows none;
    store.failLoad = true;
    fillFromStore(none.model, store, messages);
    EXPECT_EQ(none.rowCount(), 0);
    EXPECT_EQ(messages.shown,
              QStringList{QStringLiteral("Exception raised with message: no such table: WEBSITES")});
}

TEST_F(UrlList, LoadListReadsEveryEncodingAndSkipsWhatEkleSkips)
{
    DataFolder folder;
    const struct {
        const char *name;
        QByteArray bytes;
        QStringList urls;
    } cases[] = {
        {"UTF-8, mixed line ends, blanks and duplicates",
         QByteArray("a.example\r\n\r\n  https://b.example/ \nhttp://a.example\rc.example\xC3\xA9\r\n"),
         {QStringLiteral("http://a.example"), QStringLiteral("https://b.example/"),
          u16(u"http://c.exampleé")}},
        {"UTF-8 with byte order mark",
         QByteArray("\xEF\xBB\xBF"
                    "d.example\r\n"),
         {QStringLiteral("http://d.example")}},
        {"UTF-16 LE with byte order mark",
         QByteArray("\xFF\xFE"
                    "e\0.\0x\0\r\0\n\0f\0",
                    14),
         {QStringLiteral("http://e.x"), QStringLiteral("http://f")}},
        {"8-bit code page with accented characters",
         QByteArray("caf\xE9.example\r\nna\xEFve.example\r\n"),
         {u16(u"http://café.example"), u16(u"http://naïve.example")}},
        {"empty file", QByteArray(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.file(QStringLiteral("list.txt"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        ListRows fresh;
        EXPECT_EQ(LoadList(path, fresh.model, store, messages), c.urls.size());
        EXPECT_EQ(fresh.captions(), c.urls);
    }
}

TEST_F(UrlList, LoadListOfAMissingFileAddsNothing)
{
    try {
        LoadList(QStringLiteral("/nonexistent/list.txt"), rows.model, store, messages);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(u"/nonexistent/list.txt")) << e.message().toStdString();
    }
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_TRUE(store.added.isEmpty());
}

TEST_F(UrlList, SaveListWritesUtf8LinesEndedByCrLfAndReadsBackTheSame)
{
    DataFolder folder;
    const QString path = folder.file(QStringLiteral("saved.txt"));
    SaveList(path, rows.model);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(fileBytes(path), QByteArray()) << "an empty list writes an empty file";

    EkleLines(u16(u"example.com\nHTTPS://Ünïcode.example/😀\nhttp://x/'q'"), rows.model, store, messages);
    SaveList(path, rows.model);
    EXPECT_EQ(fileBytes(path), QByteArray("http://example.com\r\nHTTPS://\xC3\x9Cn\xC3\xAF"
                                          "code.example/"
                                          "\xF0\x9F\x98\x80\r\nhttp://x/'q'\r\n"));
    ListRows reloaded;
    LoadList(path, reloaded.model, store, messages);
    EXPECT_EQ(reloaded.captions(), rows.captions());
}

TEST_F(UrlList, SaveListIntoAMissingFolderFailsNamingTheFile)
{
    EkleLines(u"a", rows.model, store, messages);
    try {
        SaveList(QStringLiteral("/nonexistent/dir/list.txt"), rows.model);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(u"/nonexistent/dir/list.txt")) << e.message().toStdString();
    }
}

TEST(UrlListWithStore, EveryUrlOfTheListHasItsRowAndComesBackAtTheNextStart)
{
    DataFolder folder;
    Messages messages;
    {
        auto db = folder.open();
        ListRows rows;
        fillFromStore(rows.model, *db, messages);
        EkleLines(u"b.example\na.example\nb.example", rows.model, *db, messages);
        rows.select({0});
        deleteRows(rows.model, rows.selected, *db, messages);
        EkleLines(u"c.example", rows.model, *db, messages);
        db->DbSaveWebsite(QStringLiteral("http://c.example"), QStringLiteral("stored text"),
                          QStringLiteral("OK"));
        rows.select({1});
        const auto preview = contentPreview(rows.model, rows.selected, *db, messages);
        ASSERT_TRUE(preview);
        EXPECT_EQ(preview->url, u"http://c.example");
        EXPECT_EQ(preview->content, u"stored text");
        rows.deselect(1);
        rows.select({0});
        EXPECT_EQ(contentPreview(rows.model, rows.selected, *db, messages)->content, QString())
            << "never checked: empty editor";
    }
    auto db = folder.open();
    ListRows restarted;
    fillFromStore(restarted.model, *db, messages);
    EXPECT_EQ(restarted.captions(),
              (QStringList{QStringLiteral("http://a.example"), QStringLiteral("http://c.example")}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
