#pragma once
#include "fetch/fetcher.h"
#include "support/loopbackserver.h"
#include "text/error.h"
#include <chrono>
#include <string>

// What the fetch tests share: the exact header values the fetcher must send,
// short limits, and the outcome of a download as text or error.
namespace sentrel::test {

inline constexpr const char *kAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr const char *kAcceptEncoding = "deflate, gzip, identity";
inline constexpr const char *kUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, "
    "like Gecko) Chrome/100.0.4896.127 Safari/537.36";

// Time-outs long enough for a loaded machine, short enough that a test
// waiting for one stays quick.
inline FetchOptions quickOptions()
{
    FetchOptions o;
    o.connectTimeout = std::chrono::milliseconds(3000);
    o.readTimeout = std::chrono::milliseconds(3000);
    return o;
}

// The request the fetcher sends for `target` to a server on `hostPort`,
// before any Authorization or Cookie header.
inline std::string expectedRequest(const std::string &target, const std::string &hostPort,
                                   const std::string &extraBefore = {})
{
    return "GET " + target + " HTTP/1.1\r\nHost: " + hostPort + "\r\n" + extraBefore + "Accept: " + kAccept +
           "\r\nAccept-Encoding: " + kAcceptEncoding + "\r\nUser-Agent: " + kUserAgent + "\r\n\r\n";
}

inline std::string hostPort(const LoopbackServer &server, const std::string &host = "127.0.0.1")
{
    return host + ":" + std::to_string(server.port());
}

// The error message of a download, or "<no error>" when it succeeded.
inline QString fetchError(const QString &url, const FetchOptions &options = quickOptions())
{
    try {
        DownloadPage(url, options);
    } catch (const Error &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace sentrel::test
