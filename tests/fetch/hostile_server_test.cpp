// Servers written to hurt: headers that never end, an endless or huge body,
// a compression bomb, broken chunk framing and a redirect loop between two
// host names. Each download must end with a message within its time-outs or
// at the size ceiling, and its memory stay bounded. Endless streams come from
// a small server of their own that writes until the client hangs up.
#include "fetch/fetcher.h"
#include "fetch/fetchtesting.h"
#include "support/loopbackserver.h"
#include "support/qtext.h"
#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

namespace sentrel::test {
namespace {

using namespace std::chrono_literals;

// Accepts one connection on 127.0.0.1, reads the request head, then sends
// `head` followed by whatever `next` produces until the client goes away.
// It listens from construction on but serves only after start(), so that a
// test can fork its client before the serving thread exists: a child forked
// while another thread holds a lock (the allocator's, the sanitizer's) waits
// for that lock for ever.
class EndlessServer {
public:
    EndlessServer(std::string head, std::function<std::string()> next)
        : head_(std::move(head)), next_(std::move(next))
    {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr *>(&address), size) != 0 || listen(fd_, 4) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            throw std::runtime_error("cannot listen");
        port_ = ntohs(address.sin_port);
    }
    ~EndlessServer()
    {
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        if (thread_.joinable())
            thread_.join();
    }
    void start()
    {
        thread_ = std::thread([this] { serve(); });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    long long sent() const { return sent_; }

private:
    void serve()
    {
        const int client = accept(fd_, nullptr, nullptr);
        if (client < 0)
            return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, size_t(n));
        }
        for (std::string chunk = head_; !chunk.empty(); chunk = next_()) {
            const ssize_t n = send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n < 0)
                break;
            sent_ += n;
        }
        close(client);
    }

    std::string head_;
    std::function<std::string()> next_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<long long> sent_{0};
    std::thread thread_;
};

// The download in a child process, so that its peak memory is its own:
// "message|peak KiB|milliseconds".
struct Outcome {
    std::string message;
    long peakKiB = 0;
    long long ms = 0;
};

Outcome downloadInChild(EndlessServer &server, const FetchOptions &options)
{
    const QString url = server.url();
    int fds[2];
    if (pipe(fds) != 0)
        return {"pipe failed"};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        const std::string message = fetchError(url, options).toStdString();
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const std::string out = message + '\n' + std::to_string(usage.ru_maxrss) + '\n' + std::to_string(ms);
        (void)!write(fds[1], out.data(), out.size());
        _exit(0);
    }
    close(fds[1]);
    server.start();
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, size_t(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    Outcome outcome;
    const size_t first = out.find('\n'), second = out.rfind('\n');
    if (first == std::string::npos || first == second)
        return {"child failed: " + out};
    outcome.message = out.substr(0, first);
    outcome.peakKiB = std::stol(out.substr(first + 1, second - first - 1));
    outcome.ms = std::stoll(out.substr(second + 1));
    return outcome;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMeasuresMemory = false; // the sanitizer's shadow memory and quarantine count too
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kMeasuresMemory = false;
#else
constexpr bool kMeasuresMemory = true;
#endif
#else
constexpr bool kMeasuresMemory = true;
#endif

constexpr long kPeakLimitKiB = 150 * 1024;

std::string repeatedLine(const std::string &line, size_t bytes)
{
    std::string s;
    while (s.size() < bytes)
        s += line;
    return s;
}

// A gzip stream of zeros that costs the server nothing: after the first
// block, every block refers only to zeros already in the window, so the same
// bytes can be sent again and again (about 1000:1). `blocks` of them, then
// the end of the stream; 0 for no end.
std::function<std::string()> gzipBomb(int blocks)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    const std::string zeros(1 << 20, '\0');
    const auto flushed = [&] {
        std::string out(64 * 1024, '\0');
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.data()));
        z.avail_in = uInt(zeros.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, Z_SYNC_FLUSH);
        out.resize(out.size() - z.avail_out);
        return out;
    };
    const std::string first = flushed();
    const std::string steady = flushed();
    deflateEnd(&z);
    auto sent = std::make_shared<int>(0);
    return [=] {
        if (blocks > 0 && *sent >= blocks)
            return std::string();
        return (*sent)++ == 0 ? first : steady;
    };
}

struct HostileCase {
    const char *name;
    std::string head;
    std::function<std::function<std::string()>()> stream; // a fresh producer per run
    const char16_t *message;                              // null: any message
};

class HostileServer : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileServer, DownloadEndsWithAMessageInBoundedTimeAndMemory)
{
    const HostileCase &c = GetParam();
    EndlessServer server(c.head, c.stream());
    FetchOptions options = quickOptions(); // the program's 64 MiB ceiling
    const Outcome outcome = downloadInChild(server, options);
    std::cout << "[ " << c.name << " ] " << outcome.message << " after " << outcome.ms << " ms, peak "
              << outcome.peakKiB / 1024 << " MiB, " << server.sent() / 1024 << " KiB sent\n";
    if (c.message) {
        EXPECT_EQ(QString::fromStdString(outcome.message), QString::fromUtf16(c.message));
    } else {
        EXPECT_NE(outcome.message, "<no error>");
        EXPECT_NE(outcome.message, "");
    }
    EXPECT_LT(outcome.ms, 20000);
    if (kMeasuresMemory) {
        EXPECT_LT(outcome.peakKiB, kPeakLimitKiB);
    }
}

const std::string kBlock(1 << 20, 'a');

INSTANTIATE_TEST_SUITE_P(
    Streams, HostileServer,
    ::testing::Values(HostileCase{"HeadersForever", "HTTP/1.1 200 OK\r\n",
                                  [] {
                                      return [line = repeatedLine("X-Filler: abcdefghijklmnopqrstuvwxyz\r\n",
                                                                  64 * 1024)] { return line; };
                                  },
                                  nullptr},
                      HostileCase{"TenGigabyteBody", "HTTP/1.1 200 OK\r\nContent-Length: 10737418240\r\n\r\n",
                                  [] { return [] { return kBlock; }; }, u"The page is larger than 64 MiB."},
                      HostileCase{"EndlessBodyWithoutLength", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n",
                                  [] { return [] { return kBlock; }; }, u"The page is larger than 64 MiB."},
                      HostileCase{"EndlessChunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                                  [] { return [] { return "100000\r\n" + kBlock + "\r\n"; }; },
                                  u"The page is larger than 64 MiB."},
                      // 2 MB on the wire, 2 GB inflated: stopped while inflating.
                      HostileCase{"GzipBomb",
                                  "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n",
                                  [] { return gzipBomb(2000); }, u"The page is larger than 64 MiB."},
                      HostileCase{"EndlessGzipBomb",
                                  "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n",
                                  [] { return gzipBomb(0); }, u"The page is larger than 64 MiB."}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HostileTrickle, ABodyOfAByteAtATimeEndsAtTheTransferTimeOut)
{
    // Every byte comes well within the read time-out; only the bound on the
    // whole transfer ends it.
    EndlessServer server("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n", [] {
        std::this_thread::sleep_for(100ms);
        return std::string("a");
    });
    server.start();
    FetchOptions options = quickOptions();
    options.transferTimeout = 1500ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetchError(server.url(), options), u16(u"Read timed out."));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 4000ms);
    EXPECT_GT(server.sent(), 10) << "bytes kept coming";
}

TEST(HostileFraming, InvalidChunkSizesFailTheDownload)
{
    const struct {
        const char *name;
        std::string chunks;
    } cases[] = {
        {"not hexadecimal", "zz\r\nabc\r\n0\r\n\r\n"},
        {"beyond 64 bits", "1ffffffffffffffffff\r\nabc\r\n0\r\n\r\n"},
        {"negative", "-5\r\nabc\r\n0\r\n\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server;
        server.on("/", Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + c.chunks).close());
        const QString message = fetchError(server.url());
        std::cout << "[ chunks " << c.name << " ] " << message.toStdString() << '\n';
        EXPECT_NE(message, u"<no error>");
        EXPECT_FALSE(message.isEmpty());
    }
}

TEST(HostileFraming, AChunkCutShortFailsTheDownload)
{
    LoopbackServer server;
    server.on("/", Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffff\r\nabc").close());
    EXPECT_EQ(fetchError(server.url()), u16(u"The connection closed before the page was complete."));
}

TEST(HostileRedirects, ALoopBetweenTwoHostNamesEndsAtTheLimit)
{
    LoopbackServer server;
    const std::string viaName = server.url("/b", "localhost").toStdString();
    const std::string viaAddress = server.url("/a").toStdString();
    server.on("/a", Reply::redirect(302, viaName));
    server.on("/b", Reply::redirect(302, viaAddress));
    EXPECT_EQ(fetchError(server.url("/a")), u16(u"Too many redirects."));
    EXPECT_EQ(server.requests().size(), 20u);
}

} // namespace
} // namespace sentrel::test
