// A failed download seen from the check engine: the fetcher's message is the
// row's status and the log line, and the stored page stays as it was.
#include "check/enginetesting.h"
#include "check/pageloaders.h"
#include "fetch/fetchtesting.h"
#include "support/qtext.h"
#include <gtest/gtest.h>

namespace sentrel::test {
namespace {

using namespace enginetest;

struct FailedCheckCase {
    const char *name;
    Reply reply;
    const char16_t *status;
};

class FetchFailureInACheck : public testing::TestWithParam<FailedCheckCase> {};

TEST_P(FetchFailureInACheck, IsTheRowsStatusAndSavesNothing)
{
    LoopbackServer server;
    server.on("/page", GetParam().reply);
    const QString url = server.url("/page");

    TestList rows(QStringList{url});
    FakeStore store;
    store.rows[url] = storedAs(QStringLiteral("the whole page"), QStringLiteral("OK"));
    RecordingStoreErrors storeErrors;
    FakeDisplay display;
    FakePreferences preferences;
    CountingPump pump;
    DirectPageLoader loader(pageDownload(quickOptions()));
    FixedClock clock;
    QStringList changed;
    OutcomePainter painter(rows.model, display);
    CheckEngine engine(
        CheckServices{rows.model, store, storeErrors, painter, preferences, pump, loader, clock});

    if (engine.check(rows.id(0)).changed)
        changed.append(url);
    const QString status = u16(GetParam().status);
    EXPECT_EQ(rows.row(0).status, status);
    EXPECT_EQ(display.log, QStringList{QStringLiteral("2024-03-07 09:05:03 (Error: ") + status +
                                       QStringLiteral(") ") + url});
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(changed.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FetchFailureInACheck,
    testing::Values(FailedCheckCase{"PageCutShort",
                                    Reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n<p>the who").close(),
                                    u"The connection closed before the page was complete."},
                    FailedCheckCase{"RedirectLoop", Reply::redirect(302, "/page"), u"Too many redirects."}),
    [](const testing::TestParamInfo<FailedCheckCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace sentrel::test
