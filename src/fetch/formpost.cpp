#include "fetch/formpost.h"
#include "fetch/curlhandles.h"
#include "text/error.h"
#include <algorithm>
#include <curl/curl.h>

namespace sentrel {

QByteArray formEncode(const QList<FormField> &fields)
{
    // Everything but the unreserved characters is percent-encoded: always
    // valid form encoding, and a blank as %20 reads the same as "+".
    QByteArray body;
    for (const FormField &field : fields) {
        if (!body.isEmpty())
            body += '&';
        body += field.name.toUtf8().toPercentEncoding();
        body += '=';
        body += field.value.toUtf8().toPercentEncoding();
    }
    return body;
}

namespace {

size_t collect(char *data, size_t size, size_t count, void *target)
{
    const size_t bytes = size * count;
    static_cast<QByteArray *>(target)->append(data, qsizetype(bytes));
    return bytes;
}

} // namespace

QString postForm(const QString &url, const QList<FormField> &fields, std::chrono::milliseconds timeout)
{
    initCurl();
    CurlEasy easy(curl_easy_init());
    if (!easy)
        throw Error(QStringLiteral("Cannot create an HTTP client."));
    const QByteArray target = url.toUtf8();
    const QByteArray body = formEncode(fields);
    QByteArray response;
    char errorText[CURL_ERROR_SIZE] = {};
    CurlSlist headers(curl_slist_append(nullptr, "Connection: close"));
    CURL *h = easy.get();
    const long timeoutMs = long(timeout.count());
    curl_easy_setopt(h, CURLOPT_URL, target.constData());
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    // The response time-out: no byte for `timeout` ends the post; the whole
    // exchange is capped at connect plus response time.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(1L, timeoutMs / 1000));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, 2 * timeoutMs);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK)
        throw Error(QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(code)));
    return QString::fromUtf8(response);
}

} // namespace sentrel
