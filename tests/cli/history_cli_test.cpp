#include "cli/clitesting.h"
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include "support/qtext.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

using namespace sentrel;

namespace {

using sentrel::test::argList;
using sentrel::test::CliRun;

constexpr char Url[] = "http://a.example";

// One step of a URL's life: a save of `text` with `status`, or, with no
// status, an edit of its check options (which resets its text).
struct Step {
    const char16_t *text = nullptr;
    const char *status = nullptr;
};

Step edit()
{
    return {};
}

// The UTC time the test gives the URL's n-th history row (oldest first),
// one day apart, so that every local time and --since boundary is known.
QString takenUtc(int n)
{
    return QStringLiteral("2026-01-%1 10:00:00").arg(n, 2, 10, QLatin1Char('0'));
}

std::string localTime(const QString &utc)
{
    readTimeZoneRules();
    return localLastChange(utc).toStdString();
}

// `expected` with each "{N}" replaced by the local time of history row N.
std::string withLocalTimes(const std::string &expected)
{
    static const std::regex row(R"(\{(\d+)\})");
    std::string out;
    auto from = expected.cbegin();
    for (std::sregex_iterator m(expected.begin(), expected.end(), row), end; m != end; ++m) {
        out.append(from, (*m)[0].first);
        out += localTime(takenUtc(std::stoi((*m)[1].str())));
        from = (*m)[0].second;
    }
    return out.append(from, expected.cend());
}

// sentrel-cli on a data folder whose URL has the history the steps made.
class HistoryCli : public ::testing::Test {
protected:
    CliRun run(std::initializer_list<const char *> args) const
    {
        return sentrel::test::runCliOn(dir_.path(), argList(args));
    }
    WebsiteDb store() const { return WebsiteDb(dir_.path(), StoreSettings{}); }

    void make(const std::vector<Step> &steps)
    {
        const QString url = QString::fromLatin1(Url);
        WebsiteDb db = store();
        db.DbAddUrl(url);
        for (const Step &s : steps) {
            if (s.status)
                ASSERT_TRUE(db.DbSaveWebsite(url, u16(s.text), QString::fromLatin1(s.status)));
            else
                ASSERT_EQ(db.editUrl(url, url, WebsiteOptions{}), 1);
        }
        // The times the rows were taken at, made known to the test.
        std::vector<SnapshotRecord> rows = db.history(url);
        db.close();
        SqliteConnection connection(dir_.filePath(QStringLiteral("websites.db")));
        int n = 0;
        for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
            SqliteStatement update = connection.prepare(u"update HISTORY set TAKEN=?1 where ID=?2;");
            update.bind(1, takenUtc(++n));
            update.bindInteger(2, r->id);
            ASSERT_EQ(update.run(), 1);
        }
    }

    // Three versions: line 3 edited, then a line added.
    void makeThreeVersions()
    {
        make({{u"a\r\nb\r\nc\r\nd\r\ne\r\n", "OK"},
              {u"a\r\nb\r\nC\r\nd\r\ne\r\n", "Changed!"},
              {u"a\r\nb\r\nC\r\nd\r\ne\r\nf\r\n", "Changed!"}});
    }

    QTemporaryDir dir_;
};

struct HistoryCase {
    const char *name;
    std::vector<Step> steps;
    const char *expected; // "{N}": the local time of history row N
};

class HistoryLines : public HistoryCli, public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(HistoryLines, OneAlignedLinePerVersionNewestFirst)
{
    make(GetParam().steps);
    const CliRun r = run({"history", Url});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, withLocalTimes(GetParam().expected));
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    HistoryCli, HistoryLines,
    ::testing::Values(HistoryCase{"NothingBeforeTheFirstCheck", {}, ""},
                      HistoryCase{"TheFirstSaveHasNoCounts", {{u"one\r\n", "OK"}}, "1  {1}  OK\n"},
                      HistoryCase{"ChangesCountTheirLines",
                                  {{u"one\r\ntwo\r\n", "OK"},
                                   {u"one\r\ntwo\r\nthree\r\n", "Changed!"},
                                   {u"one\r\nthree\r\n", "Changed!"}},
                                  "3  {3}  Changed!  +0 -1\n"
                                  "2  {2}  Changed!  +1 -0\n"
                                  "1  {1}  OK\n"},
                      HistoryCase{"AnOptionsEditIsAMarkerWithoutANumber",
                                  {{u"one\r\n", "OK"}, {u"two\r\n", "Changed!"}, edit(), {u"2\r\n", "OK"}},
                                  "3  {4}  OK\n"
                                  "-  {3}  options edited, text reset\n"
                                  "2  {2}  Changed!  +1 -1\n"
                                  "1  {1}  OK\n"},
                      HistoryCase{
                          "AStatusOfSeveralLinesStaysOnOne",
                          {{u"x\r\n", "Socket Error # 111\r\nConnection refused"}, {u"y\r\n", "Changed!"}},
                          "2  {2}  Changed!                                +1 -1\n"
                          "1  {1}  Socket Error # 111: Connection refused\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryCli, NumbersPastNineAreRightAligned)
{
    // Ten versions and a marker after the first: history rows 1 to 11.
    std::vector<Step> steps;
    for (int i = 1; i <= 10; ++i)
        steps.push_back({i % 2 ? u"odd\r\n" : u"even\r\n", i == 1 ? "OK" : "Changed!"});
    steps.insert(steps.begin() + 1, edit());
    make(steps);
    const CliRun r = run({"history", Url});
    ASSERT_EQ(r.code, 0) << r.err;
    const QStringList lines = QString::fromStdString(r.out).split(u'\n');
    ASSERT_EQ(lines.size(), 12) << r.out; // ten versions, the marker, the end
    EXPECT_EQ(lines[0].toStdString(), withLocalTimes("10  {11}  Changed!  +1 -1"));
    EXPECT_EQ(lines[8].toStdString(), withLocalTimes(" 2  {3}  Changed!"));
    EXPECT_EQ(lines[9].toStdString(), withLocalTimes(" -  {2}  options edited, text reset"));
    EXPECT_EQ(lines[10].toStdString(), withLocalTimes(" 1  {1}  OK"));
}

TEST_F(HistoryCli, HistoryNamesAnUnlistedUrlAndRefusesWrongUse)
{
    make({{u"one\r\n", "OK"}});
    CliRun r = run({"history", "b.example"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Not in the list: b.example\n");
    r = run({"history", "a.example"});
    EXPECT_EQ(r.code, 0) << "found as add would have stored it";
    EXPECT_EQ(r.out, withLocalTimes("1  {1}  OK\n"));
    for (const auto &args : {argList({"history"}), argList({"history", Url, Url})}) {
        r = sentrel::test::runCliOn(dir_.path(), args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("sentrel-cli history: expects one URL\nUsage: ")) << r.err;
    }
}

struct DiffCase {
    const char *name;
    std::vector<const char *> args; // after "diff URL"
    const char *expected;           // "{N}": the local time of history row N
};

class DiffOutput : public HistoryCli, public ::testing::WithParamInterface<DiffCase> {};

TEST_P(DiffOutput, PrintsTheChosenVersionsAsAUnifiedDiff)
{
    makeThreeVersions();
    QStringList args{QStringLiteral("diff"), QString::fromLatin1(Url)};
    for (const char *a : GetParam().args)
        args.append(QString::fromStdString(withLocalTimes(a)));
    const CliRun r = sentrel::test::runCliOn(dir_.path(), args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, withLocalTimes(GetParam().expected));
    EXPECT_EQ(r.err, "");
}

// "--since {2}" is version 2's own time.
INSTANTIATE_TEST_SUITE_P(
    HistoryCli, DiffOutput,
    ::testing::Values(DiffCase{"DefaultIsTheNewestAgainstTheOneBefore",
                               {},
                               "--- http://a.example@2 ({2})\n"
                               "+++ http://a.example@3 ({3})\n"
                               "@@ -3,3 +3,4 @@\n"
                               " C\r\n d\r\n e\r\n+f\r\n"},
                      DiffCase{"OneNumberIsComparedWithTheNewest",
                               {"1"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@3 ({3})\n"
                               "@@ -1,5 +1,6 @@\n"
                               " a\r\n b\r\n-c\r\n+C\r\n d\r\n e\r\n+f\r\n"},
                      DiffCase{"TwoNumbersInEitherOrder",
                               {"3", "1"},
                               "--- http://a.example@3 ({3})\n"
                               "+++ http://a.example@1 ({1})\n"
                               "@@ -1,6 +1,5 @@\n"
                               " a\r\n b\r\n-C\r\n+c\r\n d\r\n e\r\n-f\r\n"},
                      DiffCase{"EqualVersionsPrintNothing", {"2", "2"}, ""},
                      DiffCase{"ContextZeroSplitsTheHunks",
                               {"-U0", "1"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@3 ({3})\n"
                               "@@ -3 +3 @@\n-c\r\n+C\r\n"
                               "@@ -5,0 +6 @@\n+f\r\n"},
                      DiffCase{"ContextAsASeparateValue",
                               {"1", "2", "-U", "1"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@2 ({2})\n"
                               "@@ -2,3 +2,3 @@\n b\r\n-c\r\n+C\r\n d\r\n"},
                      DiffCase{"ContextAsALongOption",
                               {"--unified=1", "1", "2"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@2 ({2})\n"
                               "@@ -2,3 +2,3 @@\n b\r\n-c\r\n+C\r\n d\r\n"},
                      DiffCase{"WordDiffMarksTheWordsInline",
                               {"--word-diff", "-U1", "1", "2"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@2 ({2})\n"
                               "@@ -2,3 +2,3 @@\n"
                               "b\r\n[-c-]{+C+}\r\nd\r\n"},
                      DiffCase{"ColourAlways",
                               {"--color=always", "-U0", "1", "2"},
                               "\x1b[1m--- http://a.example@1 ({1})\x1b[m\n"
                               "\x1b[1m+++ http://a.example@2 ({2})\x1b[m\n"
                               "\x1b[36m@@ -3 +3 @@\x1b[m\n"
                               "\x1b[31m-c\x1b[m\r\n\x1b[32m+C\x1b[m\r\n"},
                      DiffCase{"ColourNever",
                               {"--color", "never", "-U0", "1", "2"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@2 ({2})\n"
                               "@@ -3 +3 @@\n-c\r\n+C\r\n"},
                      DiffCase{"SinceAVersionsOwnTimeStartsBeforeIt",
                               {"--since", "{2}"},
                               "--- http://a.example@1 ({1})\n"
                               "+++ http://a.example@3 ({3})\n"
                               "@@ -1,5 +1,6 @@\n"
                               " a\r\n b\r\n-c\r\n+C\r\n d\r\n e\r\n+f\r\n"},
                      DiffCase{"SinceAfterTheNewestIsEmpty", {"--since=2030-01-01 00:00"}, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryCli, SinceAMinuteAfterAVersionStartsFromIt)
{
    makeThreeVersions();
    const QString since = QString::fromStdString(localTime(QStringLiteral("2026-01-02 10:01:00"))).left(16);
    const CliRun r = sentrel::test::runCliOn(
        dir_.path(), {QStringLiteral("diff"), QString::fromLatin1(Url), QStringLiteral("--since"), since});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, withLocalTimes("--- http://a.example@2 ({2})\n"
                                    "+++ http://a.example@3 ({3})\n"
                                    "@@ -3,3 +3,4 @@\n"
                                    " C\r\n d\r\n e\r\n+f\r\n"));
}

struct DiffFailureCase {
    const char *name;
    std::vector<const char *> args;
    int code;
    const char *err; // the whole of stderr, or for wrong use its first line
};

class DiffFailures : public HistoryCli, public ::testing::WithParamInterface<DiffFailureCase> {};

TEST_P(DiffFailures, PrintNothingOnStdout)
{
    makeThreeVersions();
    QStringList args;
    for (const char *a : GetParam().args)
        args.append(QString::fromLatin1(a));
    const CliRun r = sentrel::test::runCliOn(dir_.path(), args);
    EXPECT_EQ(r.code, GetParam().code);
    EXPECT_EQ(r.out, "");
    if (GetParam().code == 2)
        EXPECT_TRUE(r.err.starts_with(std::string(GetParam().err) + "\nUsage: sentrel-cli ")) << r.err;
    else
        EXPECT_EQ(r.err, withLocalTimes(GetParam().err));
}

INSTANTIATE_TEST_SUITE_P(
    HistoryCli, DiffFailures,
    ::testing::Values(
        DiffFailureCase{"UnknownOlderVersion",
                        {"diff", Url, "4"},
                        1,
                        "No version 4 of http://a.example; it has 1 to 3\n"},
        DiffFailureCase{"UnknownNewerVersion",
                        {"diff", Url, "1", "9"},
                        1,
                        "No version 9 of http://a.example; it has 1 to 3\n"},
        DiffFailureCase{"NothingSavedBeforeSince",
                        {"diff", Url, "--since", "2025-12-31 23:00"},
                        1,
                        "No version of http://a.example was saved before 2025-12-31 23:00; the oldest, 1, is "
                        "from {1}\n"},
        DiffFailureCase{"UnlistedUrl", {"diff", "b.example"}, 1, "Not in the list: b.example\n"},
        DiffFailureCase{
            "NoUrl", {"diff"}, 2, "sentrel-cli diff: expects a URL and up to two version numbers"},
        DiffFailureCase{"ThreeNumbers",
                        {"diff", Url, "1", "2", "3"},
                        2,
                        "sentrel-cli diff: expects a URL and up to two version numbers"},
        DiffFailureCase{"VersionZero",
                        {"diff", Url, "0"},
                        2,
                        "sentrel-cli diff: a version is a whole number from 1 on, not \"0\""},
        DiffFailureCase{"VersionNotANumber",
                        {"diff", Url, "latest"},
                        2,
                        "sentrel-cli diff: a version is a whole number from 1 on, not \"latest\""},
        DiffFailureCase{"SinceAndNumbers",
                        {"diff", Url, "1", "--since", "2026-01-01 00:00"},
                        2,
                        "sentrel-cli diff: expects --since or version numbers, not both"},
        DiffFailureCase{"SinceNotATime",
                        {"diff", Url, "--since", "yesterday"},
                        2,
                        "sentrel-cli diff: --since expects a local time as \"YYYY-MM-DD HH:MM\", not "
                        "\"yesterday\""},
        DiffFailureCase{
            "NegativeContext", {"diff", Url, "-U", "-1"}, 2, "sentrel-cli diff: -U expects 0 or more lines"},
        DiffFailureCase{
            "ContextWithoutValue", {"diff", Url, "-U"}, 2, "sentrel-cli diff: option -U needs a value"},
        DiffFailureCase{"ContextTwice",
                        {"diff", Url, "-U1", "--unified", "2"},
                        2,
                        "sentrel-cli diff: -U and --unified given together"},
        DiffFailureCase{"UnknownColour",
                        {"diff", Url, "--color=sometimes"},
                        2,
                        "sentrel-cli diff: --color expects auto, always or never, not \"sometimes\""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryCli, DiffNeedsTwoVersionsByDefault)
{
    CliRun r = run({"add", Url});
    ASSERT_EQ(r.code, 0);
    r = run({"diff", Url});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "No version of http://a.example is saved yet\n");
    store().DbSaveWebsite(QString::fromLatin1(Url), QStringLiteral("one"), QStringLiteral("OK"));
    r = run({"diff", Url});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "http://a.example has only version 1: nothing to compare it with\n");
}

TEST_F(HistoryCli, ShowVersionPrintsThatTextExactly)
{
    make({{u"first \u00E9\r\nline", "OK"}, edit(), {u"second\r\n", "OK"}, {u"third\r\n", "Changed!"}});
    const struct {
        const char *version;
        std::string out;
    } versions[] = {{"1", "first \xC3\xA9\r\nline"}, {"2", "second\r\n"}, {"3", "third\r\n"}};
    for (const auto &v : versions) {
        const CliRun r = run({"show", Url, "--version", v.version});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, v.out) << "version " << v.version;
    }
    CliRun r = run({"show", Url});
    EXPECT_EQ(r.out, "third\r\n") << "without --version: the stored text";
    r = run({"show", Url, "--version=4"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "No version 4 of http://a.example; it has 1 to 3\n");
    r = run({"show", Url, "--version", "0"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.starts_with("sentrel-cli show: a version is a whole number from 1 on, not \"0\"\n"));
    r = run({"show", Url, "--options", "--version", "1"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.starts_with("sentrel-cli show: expects --options or --version, not both\n"));
}

} // namespace
