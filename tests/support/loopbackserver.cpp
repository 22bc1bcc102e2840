#include "support/loopbackserver.h"
#include "support/selfsignedcert.h"
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace sentrel::test {

namespace {

void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string("loopback server: ") + what + ": " + std::strerror(errno));
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool equalsCaseless(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// A socket on 127.0.0.1 with a port of the system's choice.
int boundLoopbackSocket(std::uint16_t *port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    require(fd >= 0, "socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        require(false, "bind");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

std::size_t contentLength(std::string_view head)
{
    std::size_t pos = 0;
    while ((pos = head.find("\r\n", pos)) != std::string_view::npos) {
        pos += 2;
        const std::size_t end = head.find("\r\n", pos);
        const std::string_view line = head.substr(pos, end == std::string_view::npos ? head.npos : end - pos);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && equalsCaseless(line.substr(0, colon), "content-length"))
            return std::stoul(std::string(line.substr(colon + 1)));
    }
    return 0;
}

} // namespace

std::string ReceivedRequest::header(std::string_view name) const
{
    std::size_t pos = raw.find("\r\n");
    while (pos != std::string::npos) {
        pos += 2;
        const std::size_t end = raw.find("\r\n", pos);
        if (end == std::string::npos || end == pos)
            break;
        const std::string_view line(raw.data() + pos, end - pos);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && equalsCaseless(line.substr(0, colon), name)) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return std::string(value);
        }
        pos = end;
    }
    return {};
}

struct LoopbackServer::Tls {
    explicit Tls(const TlsSettings &settings)
        : certificate(settings.expiredCertificate ? SelfSignedCertificate::Validity::Expired
                                                  : SelfSignedCertificate::Validity::Current)
    {
        ctx = SSL_CTX_new(TLS_server_method());
        require(ctx != nullptr, "SSL_CTX_new");
        // Old protocol versions need the lowest security level in OpenSSL 3.
        SSL_CTX_set_security_level(ctx, 0);
        SSL_CTX_set_cipher_list(ctx, "DEFAULT:@SECLEVEL=0");
        if (settings.minVersion)
            SSL_CTX_set_min_proto_version(ctx, settings.minVersion);
        if (settings.maxVersion)
            SSL_CTX_set_max_proto_version(ctx, settings.maxVersion);
        require(SSL_CTX_use_certificate(ctx, certificate.certificate()) == 1, "certificate");
        require(SSL_CTX_use_PrivateKey(ctx, certificate.key()) == 1, "key");
        if (settings.requireClientCertificate)
            SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
    }
    ~Tls() { SSL_CTX_free(ctx); }
    Tls(const Tls &) = delete;
    Tls &operator=(const Tls &) = delete;

    SelfSignedCertificate certificate;
    SSL_CTX *ctx = nullptr;
};

struct LoopbackServer::Connection {
    int fd = -1;
    SSL *ssl = nullptr;
    int number = 0;
    std::string buffer;
    std::thread thread;
    std::atomic<bool> finished{false};

    ~Connection()
    {
        if (ssl)
            SSL_free(ssl);
        if (fd >= 0)
            ::close(fd);
    }

    long receive(char *data, std::size_t size)
    {
        if (ssl)
            return SSL_read(ssl, data, int(size));
        return long(::recv(fd, data, size, 0));
    }

    bool sendAll(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const long n = ssl ? SSL_write(ssl, bytes.data(), int(bytes.size()))
                               : long(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
            if (n <= 0)
                return false;
            bytes.remove_prefix(std::size_t(n));
        }
        return true;
    }

    // Reads up to and including the empty line, plus a body of announced
    // length; false when the client closed the connection.
    bool readRequest(std::string *raw)
    {
        for (;;) {
            const std::size_t headEnd = buffer.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                const std::size_t total =
                    headEnd + 4 + contentLength(std::string_view(buffer).substr(0, headEnd + 2));
                if (buffer.size() >= total) {
                    *raw = buffer.substr(0, total);
                    buffer.erase(0, total);
                    return true;
                }
            }
            char chunk[16 * 1024];
            const long n = receive(chunk, sizeof chunk);
            if (n <= 0)
                return false;
            buffer.append(chunk, std::size_t(n));
        }
    }

    void close()
    {
        if (ssl)
            SSL_shutdown(ssl);
        ::shutdown(fd, SHUT_RDWR);
    }
};

LoopbackServer::LoopbackServer()
{
    start();
}

LoopbackServer::LoopbackServer(TlsSettings tls) : tls_(std::make_unique<Tls>(tls))
{
    start();
}

void LoopbackServer::start()
{
    // A client that hangs up while a reply is being written must not end the
    // test program through SIGPIPE (SSL_write has no MSG_NOSIGNAL).
    std::signal(SIGPIPE, SIG_IGN);
    listenFd_ = boundLoopbackSocket(&port_);
    require(::listen(listenFd_, 64) == 0, "listen");
    require(::pipe2(wakeFds_, O_CLOEXEC) == 0, "pipe");
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto &c : connections_)
            ::shutdown(c->fd, SHUT_RDWR); // wakes a thread blocked in a read
    }
    stopped_.notify_all();
    [[maybe_unused]] const auto written = ::write(wakeFds_[1], "x", 1);
    acceptThread_.join();
    // No thread adds connections any more.
    for (auto &c : connections_)
        c->thread.join();
    connections_.clear();
    ::close(listenFd_);
    ::close(wakeFds_[0]);
    ::close(wakeFds_[1]);
}

bool LoopbackServer::isTls() const
{
    return tls_ != nullptr;
}

QString LoopbackServer::url(std::string_view target, std::string_view host) const
{
    const std::string text = std::string(isTls() ? "https://" : "http://") + std::string(host) + ":" +
                             std::to_string(port_) + std::string(target);
    return QString::fromStdString(text);
}

void LoopbackServer::on(std::string target, Reply reply)
{
    std::lock_guard lock(mutex_);
    routes_[std::move(target)].push_back(std::move(reply));
}

void LoopbackServer::onOther(std::function<Reply(const ReceivedRequest &)> handler)
{
    std::lock_guard lock(mutex_);
    other_ = std::move(handler);
}

std::vector<ReceivedRequest> LoopbackServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> LoopbackServer::serverNames() const
{
    std::lock_guard lock(mutex_);
    return serverNames_;
}

int LoopbackServer::connectionCount() const
{
    std::lock_guard lock(mutex_);
    return accepted_;
}

void LoopbackServer::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        // Threads of connections that are over are joined here, so that a
        // long benchmark run does not pile them up.
        std::erase_if(connections_, [](const std::unique_ptr<Connection> &c) {
            if (!c->finished)
                return false;
            c->thread.join();
            return true;
        });
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->number = ++accepted_;
        Connection *c = connection.get();
        connections_.push_back(std::move(connection));
        c->thread = std::thread([this, c] {
            serve(*c);
            c->finished = true;
        });
    }
}

void LoopbackServer::serve(Connection &c)
{
    if (tls_) {
        c.ssl = SSL_new(tls_->ctx);
        if (!c.ssl)
            return;
        SSL_set_fd(c.ssl, c.fd);
        const int accepted = SSL_accept(c.ssl);
        const char *name = SSL_get_servername(c.ssl, TLSEXT_NAMETYPE_host_name);
        {
            std::lock_guard lock(mutex_);
            serverNames_.emplace_back(name ? name : "");
        }
        if (accepted != 1) {
            ERR_clear_error();
            return;
        }
    }
    std::string raw;
    while (c.readRequest(&raw)) {
        ReceivedRequest request;
        request.raw = raw;
        request.connection = c.number;
        const std::size_t sp1 = raw.find(' ');
        const std::size_t sp2 = raw.find(' ', sp1 == std::string::npos ? sp1 : sp1 + 1);
        if (sp1 != std::string::npos && sp2 != std::string::npos) {
            request.method = raw.substr(0, sp1);
            request.target = raw.substr(sp1 + 1, sp2 - sp1 - 1);
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        if (!play(c, replyFor(request)))
            break;
    }
    ERR_clear_error();
}

Reply LoopbackServer::replyFor(const ReceivedRequest &request)
{
    std::function<Reply(const ReceivedRequest &)> other;
    {
        std::lock_guard lock(mutex_);
        const auto it = routes_.find(request.target);
        if (it != routes_.end() && !it->second.empty()) {
            std::vector<Reply> &queue = it->second;
            if (queue.size() == 1)
                return queue.front();
            Reply next = std::move(queue.front());
            queue.erase(queue.begin());
            return next;
        }
        other = other_;
    }
    if (other)
        return other(request);
    return Reply::status("HTTP/1.1 500 No Reply Scripted", {}, "no reply scripted for " + request.target);
}

// Plays the steps of a reply; false when the connection is done.
bool LoopbackServer::play(Connection &c, const Reply &reply)
{
    for (const Reply::Step &step : reply.steps()) {
        switch (step.kind) {
        case Reply::Step::Kind::Send:
            if (!c.sendAll(step.bytes))
                return false;
            break;
        case Reply::Step::Kind::Pause:
            if (!waitFor(step.delay))
                return false;
            break;
        case Reply::Step::Kind::Close:
            c.close();
            return false;
        }
    }
    return true;
}

bool LoopbackServer::waitFor(std::chrono::milliseconds delay)
{
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, delay, [this] { return stopping_; });
}

UnansweredListener::UnansweredListener()
{
    listenFd_ = boundLoopbackSocket(&port_);
    // With a backlog of 0 the kernel queues one connection; once that is
    // taken, further handshakes are dropped and a client waits in vain.
    require(::listen(listenFd_, 0) == 0, "listen");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port_);
    for (int i = 0; i < 8; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        require(fd >= 0, "socket");
        fillers_.push_back(fd);
        ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 100) == 0)
            break; // this one got no answer: the queue is full
    }
}

UnansweredListener::~UnansweredListener()
{
    for (const int fd : fillers_)
        ::close(fd);
    ::close(listenFd_);
}

QString UnansweredListener::url(std::string_view target) const
{
    return QString::fromStdString("http://127.0.0.1:" + std::to_string(port_) + std::string(target));
}

std::uint16_t closedPort()
{
    std::uint16_t port = 0;
    ::close(boundLoopbackSocket(&port));
    return port;
}

} // namespace sentrel::test
