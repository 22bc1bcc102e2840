#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include "support/qtext.h"
#include "text/error.h"
#include <QSet>
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

struct Row {
    QString url, lastChange, status;
    bool selected = false;
};

class ListRows : public UrlRows {
public:
    int rowCount() const override { return int(rows.size()); }
    QString caption(int row) const override { return rows.at(size_t(row)).url; }
    bool isSelected(int row) const override { return rows.at(size_t(row)).selected; }
    void appendRow(const QString &url, const QString &lastChange, const QString &status) override
    {
        rows.push_back({url, lastChange, status});
    }
    void removeRow(int row) override { rows.erase(rows.begin() + row); }

    QStringList captions() const
    {
        QStringList c;
        for (const Row &r : rows)
            c.append(r.url);
        return c;
    }
    void select(std::initializer_list<int> which)
    {
        for (int i : which)
            rows.at(size_t(i)).selected = true;
    }

    std::vector<Row> rows;
};

// A store that records its calls and fails for the URLs in `failing`.
class FakeStore : public UrlStore {
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
    std::optional<StoreRow> lookupRow(const QString &url) override
    {
        looked.append(url);
        failIfListed(url);
        return std::nullopt;
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

TEST(NormalizeUrl, TrimsAndPutsHttpInFrontOfAnythingElse)
{
    const struct {
        const char16_t *typed;
        const char16_t *added;
    } cases[] = {
        {u"  example.com \t", u"http://example.com"},
        {u"\x01\r\nExample.COM/Path\x1F", u"http://Example.COM/Path"},
        {u"http://a.b/", u"http://a.b/"},
        {u"https://a.b/", u"https://a.b/"},
        {u"HTTPS://A.B/", u"HTTPS://A.B/"},
        {u"HtTp://a", u"HtTp://a"},
        {u"ftp://files.example/", u"http://ftp://files.example/"},
        {u"http:/one-slash", u"http://http:/one-slash"},
        {u"https:", u"http://https:"},
        {u"\u00A0nbsp\u00A0", u"http://\u00A0nbsp\u00A0"}, // only code points up to U+0020 are trimmed
        {u"", u""},
        {u" \t\r\n ", u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        EXPECT_EQ(normalizeUrl(QString::fromUtf16(c.typed)), QString::fromUtf16(c.added));
    }
}

TEST_F(UrlList, EkleAppendsAndStoresOnceCaseCounts)
{
    EXPECT_TRUE(Ekle(u" example.com ", rows, store, messages));
    EXPECT_FALSE(Ekle(u"http://example.com", rows, store, messages)) << "same text after the rule";
    EXPECT_FALSE(Ekle(u"   ", rows, store, messages));
    EXPECT_TRUE(Ekle(u"http://EXAMPLE.com", rows, store, messages));
    const QStringList expected{QStringLiteral("http://example.com"), QStringLiteral("http://EXAMPLE.com")};
    EXPECT_EQ(rows.captions(), expected);
    EXPECT_EQ(store.added, expected);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(rows.rows[0].lastChange, QString());
    EXPECT_EQ(rows.rows[0].status, QString());
}

TEST_F(UrlList, EkleLinesSkipsWhatIsListedOrAddedEarlierInTheText)
{
    Ekle(u"http://old", rows, store, messages);
    EXPECT_EQ(EkleLines(u"old\nnew\n http://new \nNEW\n\nhttp://old\nnew", rows, store, messages), 2);
    const QStringList expected{QStringLiteral("http://old"), QStringLiteral("http://new"),
                               QStringLiteral("http://NEW")};
    EXPECT_EQ(rows.captions(), expected);
    EXPECT_EQ(store.added, expected);
}

TEST_F(UrlList, EkleKeepsTheRowWhenTheStoreFails)
{
    store.failing.insert(QStringLiteral("http://b"));
    EkleLines(u"a\r\nb\nc", rows, store, messages);
    EXPECT_EQ(rows.captions(), (QStringList{QStringLiteral("http://a"), QStringLiteral("http://b"),
                                            QStringLiteral("http://c")}));
    EXPECT_EQ(messages.shown,
              QStringList{QStringLiteral("Exception raised with message: database is locked")});
}

TEST_F(UrlList, DeleteRemovesEverySelectedRowEvenWhenTheStoreFails)
{
    EkleLines(u"1\n2\n3\n4\n5", rows, store, messages);
    rows.select({0, 2, 4});
    store.failing.insert(QStringLiteral("http://3"));
    deleteSelectedRows(rows, store, messages);
    EXPECT_EQ(rows.captions(), (QStringList{QStringLiteral("http://2"), QStringLiteral("http://4")}));
    EXPECT_EQ(store.deleted, (QStringList{QStringLiteral("http://1"), QStringLiteral("http://3"),
                                          QStringLiteral("http://5")}));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(UrlList, DeleteOfAdjacentSelectedRows)
{
    EkleLines(u"1\n2\n3\n4", rows, store, messages);
    rows.select({1, 2, 3});
    deleteSelectedRows(rows, store, messages);
    EXPECT_EQ(rows.captions(), QStringList{QStringLiteral("http://1")});
}

TEST_F(UrlList, ClipboardTextJoinsSelectedRowsInListOrder)
{
    EXPECT_EQ(clipboardText(rows), QString());
    EkleLines(u"1\n2\n3", rows, store, messages);
    EXPECT_EQ(clipboardText(rows), QString()) << "nothing selected";
    rows.select({2, 0});
    EXPECT_EQ(clipboardText(rows), u"http://1\r\nhttp://3");
    EXPECT_EQ(selectedUrls(rows), (QStringList{QStringLiteral("http://1"), QStringLiteral("http://3")}));
}

TEST_F(UrlList, PreviewLooksUpTheFirstSelectedRow)
{
    EkleLines(u"1\n2\n3\n4\n5", rows, store, messages);
    EXPECT_FALSE(contentPreview(rows, store, messages));
    EXPECT_TRUE(store.looked.isEmpty()) << "nothing selected: no lookup";
    rows.select({4, 1});
    EXPECT_FALSE(contentPreview(rows, store, messages)) << "the fake has no rows";
    EXPECT_EQ(store.looked, QStringList{QStringLiteral("http://2")});
    store.failing.insert(QStringLiteral("http://2"));
    EXPECT_FALSE(contentPreview(rows, store, messages));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(UrlList, FillFromStoreAppendsInOrderWithEmptyStatus)
{
    store.stored = {{QStringLiteral("http://a"), QStringLiteral("2024-01-15 12:00:00"), QStringLiteral("OK")},
                    {QStringLiteral("http://b"), QString(), QString()}};
    fillFromStore(rows, store, messages);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0].url, u"http://a");
    EXPECT_EQ(rows.rows[0].lastChange, u"2024-01-15 12:00:00");
    EXPECT_EQ(rows.rows[0].status, QString()) << "the stored status is not shown";

    ListRows none;
    store.failLoad = true;
    fillFromStore(none, store, messages);
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
        EXPECT_EQ(LoadList(path, fresh, store, messages), c.urls.size());
        EXPECT_EQ(fresh.captions(), c.urls);
    }
}

TEST_F(UrlList, LoadListOfAMissingFileAddsNothing)
{
    try {
        LoadList(QStringLiteral("/nonexistent/list.txt"), rows, store, messages);
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
    SaveList(path, rows);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(fileBytes(path), QByteArray()) << "an empty list writes an empty file";

    EkleLines(u16(u"example.com\nHTTPS://Ünïcode.example/😀\nhttp://x/'q'"), rows, store, messages);
    SaveList(path, rows);
    EXPECT_EQ(fileBytes(path), QByteArray("http://example.com\r\nHTTPS://\xC3\x9Cn\xC3\xAF"
                                          "code.example/"
                                          "\xF0\x9F\x98\x80\r\nhttp://x/'q'\r\n"));
    ListRows reloaded;
    LoadList(path, reloaded, store, messages);
    EXPECT_EQ(reloaded.captions(), rows.captions());
}

TEST_F(UrlList, SaveListIntoAMissingFolderFailsNamingTheFile)
{
    EkleLines(u"a", rows, store, messages);
    try {
        SaveList(QStringLiteral("/nonexistent/dir/list.txt"), rows);
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
        fillFromStore(rows, *db, messages);
        EkleLines(u"b.example\na.example\nb.example", rows, *db, messages);
        rows.select({0});
        deleteSelectedRows(rows, *db, messages);
        EkleLines(u"c.example", rows, *db, messages);
        db->DbSaveWebsite(QStringLiteral("http://c.example"), QStringLiteral("stored text"),
                          QStringLiteral("OK"));
        rows.select({1});
        const auto preview = contentPreview(rows, *db, messages);
        ASSERT_TRUE(preview);
        EXPECT_EQ(preview->url, u"http://c.example");
        EXPECT_EQ(preview->content, u"stored text");
        rows.rows[1].selected = false;
        rows.select({0});
        EXPECT_EQ(contentPreview(rows, *db, messages)->content, QString()) << "never checked: empty editor";
    }
    auto db = folder.open();
    ListRows restarted;
    fillFromStore(restarted, *db, messages);
    EXPECT_EQ(restarted.captions(),
              (QStringList{QStringLiteral("http://a.example"), QStringLiteral("http://c.example")}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
