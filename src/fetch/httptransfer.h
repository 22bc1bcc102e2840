#pragma once
#include "fetch/curlhandles.h"
#include "fetch/fetchoptions.h"
#include "fetch/multipartframing.h"
#include "fetch/responsehead.h"
#include <QByteArray>
#include <chrono>

namespace sentrel {

// One response as received: its head, its status code and, for a 2xx
// response only, its body; the absolute target of a Location header.
struct RawResponse {
    ResponseHead head;
    int status = 0;
    QByteArray body;
    QByteArray redirectUrl;
};

// The HTTP client of one download: a single connection cache and cookie store
// shared by the requests of a redirect chain and freed with the object.
// Redirects are not followed here; the caller runs the chain.
class HttpTransfer {
public:
    explicit HttpTransfer(const FetchOptions &options);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer &) = delete;
    HttpTransfer &operator=(const HttpTransfer &) = delete;

    bool tlsAvailable() const { return tls_; }

    // One GET request. Throws sentrel::Error with the user's message when no
    // usable response arrives, BodyTooLargeError past the body ceiling and
    // IncompleteBodyError for a 2xx body cut short of its framing.
    RawResponse get(const QByteArray &url);

    // The state the callbacks share with the request in progress.
    struct Progress {
        using Clock = std::chrono::steady_clock;
        bool connected = false;
        Clock::time_point lastData;
        Clock::time_point started;
        bool inHead = false;
        bool headComplete = false;
        int status = 0;
        ResponseHead head;
        QByteArray body;
        qsizetype discarded = 0;
        qsizetype limit = 0;
        bool tooLarge = false;
        // The framing that is ours to apply, and whether it has ended the body.
        std::optional<MultipartEnd> multipartEnd;
        bool framedEnd = false;
    };

private:
    CURLcode drive();

    FetchOptions options_;
    bool tls_ = false;
    CurlSlist headers_; // outlives the easy handle that points to it
    CurlMulti multi_;
    CurlEasy easy_;
    Progress progress_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

} // namespace sentrel
