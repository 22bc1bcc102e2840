#include "cli/clitesting.h"
#include "support/loopbackserver.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace sentrel::cli;
using sentrel::test::LoopbackServer;
using sentrel::test::Reply;

namespace {

using sentrel::test::CliRun;
CliRun fetch(const QString &url)
{
    return sentrel::test::runCliWith({QStringLiteral("fetch"), url});
}

TEST(FetchCommand, PrintsThePageTextExactly)
{
    LoopbackServer server;
    server.on("/", Reply::ok("caf\xC3\xA9\nlast line", "Content-Type: text/plain; charset=utf-8\r\n"));
    const CliRun r = fetch(server.url());
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "caf\xC3\xA9\r\nlast line\r\n");
    EXPECT_EQ(r.err, "");
}

TEST(FetchCommand, FailedDownloadPrintsItsMessageAndExitsWithOne)
{
    LoopbackServer server;
    server.on("/", Reply::status("HTTP/1.1 404 Not Found", {}, "<h1>gone</h1>"));
    const CliRun r = fetch(server.url());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "HTTP/1.1 404 Not Found\n");
}

} // namespace
