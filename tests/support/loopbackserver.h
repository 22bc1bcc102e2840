#pragma once
#include "support/reply.h"
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sentrel::test {

// One request as the server read it off the connection.
struct ReceivedRequest {
    std::string raw;    // request line, header lines and the empty line, byte for byte
    std::string method; // "GET"
    std::string target; // "/path?query"
    int connection = 0; // 1 for the first connection the server accepted, and so on
    // The value of the first header field of that name (letter case ignored), "" if none.
    std::string header(std::string_view name) const;
};

// TLS for the server; versions are OpenSSL's TLS1_VERSION ... TLS1_3_VERSION,
// 0 for the library's bounds.
struct TlsSettings {
    int minVersion = 0;
    int maxVersion = 0;
    bool expiredCertificate = false;
    // Refuses the handshake of every client that shows no certificate.
    bool requireClientCertificate = false;
};

// An HTTP or HTTPS server on 127.0.0.1 and a free port, for tests. Each test
// scripts the exact bytes of the replies per request target; the server
// records every request it gets, so tests can state the exact request they
// expect. Connections are handled concurrently and kept alive until the
// client or a Reply closes them.
class LoopbackServer {
public:
    LoopbackServer();                         // plain HTTP
    explicit LoopbackServer(TlsSettings tls); // HTTPS with a self-signed certificate made now
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    std::uint16_t port() const { return port_; }
    bool isTls() const;
    // scheme://host:port + target; host "localhost" makes a client send SNI.
    QString url(std::string_view target = "/", std::string_view host = "127.0.0.1") const;

    // Replies for requests to `target` (path and query as sent), in turn;
    // the last one repeats.
    void on(std::string target, Reply reply);
    // For targets without scripted replies; by default a 500 reply that
    // names the unexpected target.
    void onOther(std::function<Reply(const ReceivedRequest &)> handler);

    std::vector<ReceivedRequest> requests() const;
    // The server name each TLS client sent ("" for none), in accept order.
    std::vector<std::string> serverNames() const;
    int connectionCount() const;

private:
    struct Tls;
    struct Connection;

    void start();
    void acceptLoop();
    void serve(Connection &connection);
    Reply replyFor(const ReceivedRequest &request);
    bool play(Connection &connection, const Reply &reply);
    bool waitFor(std::chrono::milliseconds delay);

    std::unique_ptr<Tls> tls_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::uint16_t port_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, std::vector<Reply>> routes_;
    std::function<Reply(const ReceivedRequest &)> other_;
    std::vector<ReceivedRequest> requests_;
    std::vector<std::string> serverNames_;
    std::vector<std::unique_ptr<Connection>> connections_;
    int accepted_ = 0;
    std::thread acceptThread_;
};

// A listening socket on 127.0.0.1 whose accept queue is full and never
// drained: a client's connection attempt gets no answer, as with a host that
// is down, without leaving the machine.
class UnansweredListener {
public:
    UnansweredListener();
    ~UnansweredListener();
    UnansweredListener(const UnansweredListener &) = delete;
    UnansweredListener &operator=(const UnansweredListener &) = delete;

    std::uint16_t port() const { return port_; }
    QString url(std::string_view target = "/") const;

private:
    int listenFd_ = -1;
    std::vector<int> fillers_;
    std::uint16_t port_ = 0;
};

// A port on 127.0.0.1 where nothing listens (taken from the system, then freed).
std::uint16_t closedPort();

} // namespace sentrel::test
