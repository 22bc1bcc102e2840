#include "fetch/httptransfer.h"
#include "fetch/transfererror.h"
#include "text/error.h"
#include <algorithm>

namespace sentrel {

namespace {

using Progress = HttpTransfer::Progress;
using Clock = Progress::Clock;

constexpr const char *acceptValue = "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr const char *acceptEncodingValue = "Accept-Encoding: deflate, gzip, identity";
constexpr const char *userAgentValue =
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/100.0.4896.127 Safari/537.36";

// Status codes from "HTTP/1.1 404 Not Found"; 0 when the line has none.
int statusCodeOf(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    if (space < 0)
        return 0;
    QByteArrayView rest = line.sliced(space + 1).trimmed();
    int code = 0;
    qsizetype digits = 0;
    for (; digits < rest.size() && digits < 3 && rest[digits] >= '0' && rest[digits] <= '9'; ++digits)
        code = code * 10 + (rest[digits] - '0');
    return digits == 3 ? code : 0;
}

bool keepsBody(int status)
{
    return status >= 200 && status < 300;
}

void check(CURLcode rc)
{
    if (rc != CURLE_OK)
        throw Error(QString::fromUtf8(curl_easy_strerror(rc)));
}

int onPrerequest(void *user, char *, char *, int, int)
{
    auto *p = static_cast<Progress *>(user);
    p->connected = true;
    p->lastData = Clock::now();
    return CURL_PREREQFUNC_OK;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *p = static_cast<Progress *>(user);
    const size_t n = size * count;
    p->lastData = Clock::now();
    QByteArrayView line(data, qsizetype(n));
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);

    // Each response of the exchange (100 Continue, an authentication
    // challenge, the final one) begins with its status line and replaces
    // what came before.
    if ((!p->inHead || p->headComplete) && line.startsWith("HTTP/")) {
        p->head = ResponseHead{};
        p->head.statusLine = line.toByteArray();
        p->status = statusCodeOf(line);
        p->inHead = true;
        p->headComplete = false;
        return n;
    }
    if (!p->inHead || p->headComplete)
        return n; // trailers of a chunked body
    if (line.isEmpty()) {
        p->headComplete = p->status >= 200;
        if (!p->headComplete)
            p->inHead = false; // interim response: the real one follows
        // An announced length beyond the ceiling fails now, not after
        // receiving 64 MiB.
        bool known = false;
        const qlonglong announced = p->head.header("Content-Length").toLongLong(&known);
        if (p->headComplete && keepsBody(p->status) && known && announced > p->limit) {
            p->tooLarge = true;
            return 0;
        }
        if (p->headComplete)
            p->multipartEnd = multipartFraming(p->head);
        return n;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !p->head.headers.isEmpty()) {
        p->head.headers.back().second += ' ' + line.trimmed().toByteArray();
        return n;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        p->head.headers.append(
            {line.first(colon).trimmed().toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
    return n;
}

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *p = static_cast<Progress *>(user);
    const size_t n = size * count;
    p->lastData = Clock::now();
    auto taken = qsizetype(n);
    if (p->multipartEnd) {
        if (const auto end = p->multipartEnd->feed(QByteArrayView(data, taken))) {
            taken = *end;
            p->framedEnd = true;
        }
    }
    const qsizetype have = keepsBody(p->status) ? p->body.size() : p->discarded;
    if (taken > p->limit - have) {
        p->tooLarge = true;
        return 0; // stops the transfer
    }
    if (keepsBody(p->status)) {
        // Grow by doubling, but never past the ceiling: a body that stops
        // just under it must not cost twice the ceiling.
        if (p->body.capacity() - have < taken)
            p->body.reserve(std::min(std::max(2 * p->body.capacity(), have + taken), p->limit));
        p->body.append(data, taken);
    } else
        p->discarded += taken; // error pages and redirect bodies are read, not kept
    // The server need not close after the close delimiter, and what follows
    // it is no part of the body: the transfer stops here.
    return p->framedEnd ? 0 : n;
}

// The Location of a response resolved against the URL that was requested,
// the way the library resolves it for a transfer that ran to its end; empty
// when it cannot be resolved.
QByteArray resolveLocation(const char *base, const QByteArray &location)
{
    CurlUrl url(curl_url());
    if (!url || !base || curl_url_set(url.get(), CURLUPART_URL, base, 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, location.constData(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK)
        return {};
    char *text = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK)
        return {};
    const CurlString owned(text);
    return QByteArray(text);
}

} // namespace

HttpTransfer::HttpTransfer(const FetchOptions &options)
    : options_(options), tls_(initCurl()), multi_(curl_multi_init()), easy_(curl_easy_init())
{
    if (!multi_ || !easy_)
        throw Error(QStringLiteral("The HTTP client could not be created."));

    curl_slist *list = nullptr;
    for (const char *h : {acceptValue, acceptEncodingValue, userAgentValue}) {
        curl_slist *grown = curl_slist_append(list, h);
        if (!grown) {
            curl_slist_free_all(list);
            throw Error(QStringLiteral("The HTTP client could not be created."));
        }
        list = grown;
    }
    headers_.reset(list);

    CURL *h = easy_.get();
    check(curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer_));
    check(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L));
    check(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https"));
    check(curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    check(curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1)));
    check(curl_easy_setopt(h, CURLOPT_HTTPGET, 1L));
    check(curl_easy_setopt(h, CURLOPT_PROXY, "")); // direct, whatever the environment says
    check(curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers_.get()));
    // Redirects run through our own loop so that the count is exact.
    check(curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L));
    // The body is decoded by us: gzip and deflate only, other codings left as
    // they are, and the size bounded while inflating.
    check(curl_easy_setopt(h, CURLOPT_HTTP_CONTENT_DECODING, 0L));
    check(curl_easy_setopt(h, CURLOPT_COOKIEFILE, "")); // in-memory cookies for this download only
    check(curl_easy_setopt(h, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC | CURLAUTH_DIGEST | CURLAUTH_NTLM)));
    check(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(options_.connectTimeout.count())));

    // TLS 1.0 to 1.3 and no certificate checks, as pages of any age must load,
    // and so must those of servers that speak nothing older than 1.3;
    // OpenSSL 3 refuses TLS 1.0 and 1.1 above security level 0. A build
    // without TLS rejects these options; its https URLs fail before this.
    if (tls_) {
        check(curl_easy_setopt(h, CURLOPT_SSLVERSION,
                               long(CURL_SSLVERSION_TLSv1_0) | long(CURL_SSLVERSION_MAX_TLSv1_3)));
        check(curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L));
        check(curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L));
        check(curl_easy_setopt(h, CURLOPT_SSL_CIPHER_LIST, "DEFAULT:@SECLEVEL=0"));
    }

    check(curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, onPrerequest));
    check(curl_easy_setopt(h, CURLOPT_PREREQDATA, &progress_));
    check(curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeader));
    check(curl_easy_setopt(h, CURLOPT_HEADERDATA, &progress_));
    check(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onBody));
    check(curl_easy_setopt(h, CURLOPT_WRITEDATA, &progress_));
}

HttpTransfer::~HttpTransfer() = default;

CURLcode HttpTransfer::drive()
{
    for (;;) {
        int running = 0;
        const CURLMcode mc = curl_multi_perform(multi_.get(), &running);
        if (mc != CURLM_OK)
            throw Error(QString::fromUtf8(curl_multi_strerror(mc)));
        if (running == 0)
            break;

        // The read time-out runs from the last byte received; the transfer
        // time-out bounds a server that keeps sending, but slowly.
        int waitMs = 1000;
        if (Clock::now() - progress_.started >= options_.transferTimeout)
            throw Error(QStringLiteral("Read timed out."));
        if (progress_.connected) {
            const auto idle = Clock::now() - progress_.lastData;
            if (idle >= options_.readTimeout)
                throw Error(QStringLiteral("Read timed out."));
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(options_.readTimeout - idle);
            waitMs = int(std::clamp<std::chrono::milliseconds::rep>(left.count(), 1, 1000));
        }
        const CURLMcode pc = curl_multi_poll(multi_.get(), nullptr, 0, waitMs, nullptr);
        if (pc != CURLM_OK)
            throw Error(QString::fromUtf8(curl_multi_strerror(pc)));
    }
    CURLcode result = CURLE_OK;
    int left = 0;
    while (CURLMsg *msg = curl_multi_info_read(multi_.get(), &left)) {
        if (msg->msg == CURLMSG_DONE)
            result = msg->data.result;
    }
    return result;
}

RawResponse HttpTransfer::get(const QByteArray &url)
{
    CURL *h = easy_.get();
    progress_ = Progress{};
    progress_.lastData = Clock::now();
    progress_.started = progress_.lastData;
    progress_.limit = options_.maxBodyBytes;
    errorBuffer_[0] = '\0';
    check(curl_easy_setopt(h, CURLOPT_URL, url.constData()));

    if (curl_multi_add_handle(multi_.get(), h) != CURLM_OK)
        throw Error(QStringLiteral("The HTTP client could not start the request."));
    // Taken out again on every way out; mid-transfer that also drops the
    // connection, which is what a failed request wants.
    struct Detach {
        CURLM *multi;
        CURL *easy;
        ~Detach() { curl_multi_remove_handle(multi, easy); }
    } detach{multi_.get(), h};

    const CURLcode result = drive();
    if (progress_.tooLarge)
        throw BodyTooLargeError(options_.maxBodyBytes);

    // A page cut short of its Content-Length or its last chunk is no page; the
    // body of an error or a redirect is not kept, so a cut there changes
    // nothing.
    const bool cutShort = result == CURLE_PARTIAL_FILE;
    if (progress_.headComplete && cutShort && keepsBody(progress_.status))
        throw IncompleteBodyError();
    const bool framedByUs = result == CURLE_WRITE_ERROR && progress_.framedEnd;
    const bool usable = progress_.headComplete && (result == CURLE_OK || cutShort || framedByUs);
    if (!usable) {
        TransferFailure failure;
        failure.code = result;
        long osErrno = 0;
        curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &osErrno);
        failure.osErrno = osErrno;
        failure.detail = QByteArray(errorBuffer_);
        failure.connected = progress_.connected;
        failure.headComplete = progress_.headComplete;
        if (result == CURLE_OK)
            failure.code = CURLE_GOT_NOTHING;
        throw Error(transferErrorMessage(failure));
    }

    RawResponse response;
    response.head = std::move(progress_.head);
    response.status = progress_.status;
    response.body = std::move(progress_.body);
    char *location = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location)
        response.redirectUrl = QByteArray(location);
    // A transfer stopped at a close delimiter ended early for the library,
    // which then works out no redirect target.
    if (response.redirectUrl.isEmpty() && progress_.framedEnd && response.head.hasHeader("Location")) {
        char *requested = nullptr;
        curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &requested);
        response.redirectUrl = resolveLocation(requested, response.head.header("Location"));
    }
    return response;
}

} // namespace sentrel
