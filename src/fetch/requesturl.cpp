#include "fetch/requesturl.h"
#include <curl/curl.h>
#include <memory>

namespace sentrel {

namespace {
struct UrlDeleter {
    void operator()(CURLU *u) const { curl_url_cleanup(u); }
};
struct CurlStringDeleter {
    void operator()(char *s) const { curl_free(s); }
};
} // namespace

QByteArray encodeRequestUrl(const QString &url)
{
    const QByteArray utf8 = url.toUtf8();
    const qsizetype schemeEnd = utf8.indexOf("://");
    qsizetype pos = schemeEnd < 0 ? 0 : schemeEnd + 3;
    while (pos < utf8.size() && utf8[pos] != '/' && utf8[pos] != '?' && utf8[pos] != '#')
        ++pos;

    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out = utf8.first(pos);
    out.reserve(utf8.size() + 16);
    for (; pos < utf8.size(); ++pos) {
        const auto c = uchar(utf8[pos]);
        if (c <= 0x20 || c >= 0x7f) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0f];
        } else {
            out += char(c);
        }
    }
    return out;
}

std::optional<QString> schemeProblem(const QByteArray &url, bool tlsAvailable)
{
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed)
        return std::nullopt;
    // Malformed URLs are left to the transfer, which names the fault.
    if (curl_url_set(parsed.get(), CURLUPART_URL, url.constData(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_GUESS_SCHEME) != CURLUE_OK)
        return std::nullopt;
    char *raw = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK)
        return std::nullopt;
    const std::unique_ptr<char, CurlStringDeleter> scheme(raw);
    const QByteArrayView name(scheme.get());
    if (name.compare("http", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    if (name.compare("https", Qt::CaseInsensitive) == 0) {
        if (tlsAvailable)
            return std::nullopt;
        return QStringLiteral("Could not load SSL library.");
    }
    return QStringLiteral("Unknown Protocol");
}

} // namespace sentrel
