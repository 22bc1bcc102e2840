// The close delimiter framing of multipart bodies that have neither a length
// nor chunks.
#include "fetch/multipartframing.h"
#include <gtest/gtest.h>
#include <string>

namespace sentrel {
namespace {

struct EndCase {
    const char *name;
    std::string boundary;
    std::string body;
    qsizetype end; // bytes of the body up to the close delimiter; -1: none yet
};

// Feeds the body in pieces of `pieceSize` bytes and returns where it ended.
qsizetype endOf(const EndCase &c, std::size_t pieceSize)
{
    MultipartEnd framing(QByteArray::fromStdString(c.boundary));
    qsizetype before = 0;
    for (std::size_t at = 0; at < c.body.size(); at += pieceSize) {
        const std::string piece = c.body.substr(at, pieceSize);
        if (const auto taken = framing.feed(QByteArrayView(piece.data(), qsizetype(piece.size())))) {
            EXPECT_GT(*taken, 0);
            EXPECT_LE(*taken, qsizetype(piece.size()));
            return before + *taken;
        }
        before += qsizetype(piece.size());
    }
    return -1;
}

class MultipartEndFinding : public testing::TestWithParam<EndCase> {};

TEST_P(MultipartEndFinding, IsTheSameWhateverThePieces)
{
    // One piece, a byte at a time, and pieces that cut the delimiter apart.
    for (const std::size_t pieceSize : {std::size_t(1000), std::size_t(1), std::size_t(3), std::size_t(7)}) {
        SCOPED_TRACE(pieceSize);
        EXPECT_EQ(endOf(GetParam(), pieceSize), GetParam().end);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, MultipartEndFinding,
    testing::Values(EndCase{"AfterCrLf", "b", "--b\r\nx\r\n--b--\r\nepilogue", 13},
                    EndCase{"AfterLf", "b", "--b\nx\n--b--tail", 11},
                    EndCase{"AtTheVeryStart", "b", "--b--\r\n", 5},
                    EndCase{"FirstOfTwo", "b", "--b--\r\n--b--", 5},
                    EndCase{"ABoundaryLineIsNoEnd", "b", "--b\r\nx\r\n--b\r\n", -1},
                    EndCase{"NotAtTheStartOfALine", "b", "--b\r\nx --b--\r\n", -1},
                    EndCase{"LongerBoundaryWithTheSamePrefix", "b", "--b\r\n--bb--\r\n", -1},
                    EndCase{"BoundaryWithBlanks", "a b", "--a b\r\n\r\n--a b--", 16}),
    [](const testing::TestParamInfo<EndCase> &info) { return std::string(info.param.name); });

ResponseHead headOf(std::initializer_list<QPair<QByteArray, QByteArray>> headers)
{
    ResponseHead head;
    head.statusLine = "HTTP/1.1 200 OK";
    head.headers = headers;
    return head;
}

TEST(MultipartFraming, AppliesOnlyWhereTheLibraryHasNoFraming)
{
    const struct {
        const char *name;
        ResponseHead head;
        bool framed;
    } cases[] = {
        {"multipart with a boundary", headOf({{"Content-Type", "multipart/mixed; boundary=b"}}), true},
        {"type in capitals", headOf({{"Content-Type", "Multipart/Byteranges; BOUNDARY=\"b\""}}), true},
        {"with a length", headOf({{"Content-Type", "multipart/mixed; boundary=b"}, {"Content-Length", "9"}}),
         false},
        {"chunked",
         headOf({{"Content-Type", "multipart/mixed; boundary=b"}, {"Transfer-Encoding", "Chunked"}}), false},
        {"no boundary", headOf({{"Content-Type", "multipart/mixed"}}), false},
        {"empty boundary", headOf({{"Content-Type", "multipart/mixed; boundary=\"\""}}), false},
        {"not multipart", headOf({{"Content-Type", "text/html; boundary=b"}}), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(multipartFraming(c.head).has_value(), c.framed);
    }
}

} // namespace
} // namespace sentrel
