#include "fetch/formpost.h"
#include "support/loopbackserver.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;
using namespace sentrel::test;
using namespace std::chrono_literals;

namespace {

std::string bodyOf(const ReceivedRequest &request)
{
    const std::size_t end = request.raw.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : request.raw.substr(end + 4);
}

TEST(FormPost, SendsTheFieldsEncodedAndReturnsTheAnswerAsSent)
{
    LoopbackServer server;
    server.on("/form", Reply::ok("OK\r\n"));
    const QString answer = postForm(server.url("/form"),
                                    {{QStringLiteral("text"), QStringLiteral("Größe & mehr")},
                                     {QStringLiteral("e mail"), QStringLiteral("a+b@c.de")}},
                                    3000ms);
    EXPECT_EQ(answer, QStringLiteral("OK\r\n"));
    const std::vector<ReceivedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].header("Connection"), "close");
    EXPECT_EQ(bodyOf(requests[0]), "text=Gr%C3%B6%C3%9Fe%20%26%20mehr&e%20mail=a%2Bb%40c.de");
}

TEST(FormPost, FailuresThrowWithTheirReason)
{
    LoopbackServer server;
    server.on("/form", Reply::status("HTTP/1.1 500 Internal Server Error", {}, "OK"));
    const struct {
        const char *name;
        QString url;
        QString reasonContains;
    } cases[] = {
        {"an error status", server.url("/form"), QStringLiteral("500")},
        {"nobody listening", QStringLiteral("http://127.0.0.1:%1/form").arg(closedPort()),
         QStringLiteral("onnect")},
        {"not a web address", QStringLiteral("ftp://127.0.0.1/form"), QStringLiteral("rotocol")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            postForm(c.url, {{QStringLiteral("a"), QStringLiteral("b")}}, 3000ms);
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(c.reasonContains)) << e.message().toStdString();
        }
    }
}

} // namespace
