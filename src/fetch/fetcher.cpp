#include "fetch/fetcher.h"
#include "fetch/httptransfer.h"
#include "fetch/requesturl.h"
#include "fetch/responsedecoder.h"
#include "text/error.h"

namespace sentrel {

namespace {

// The redirect that reaches this count ends the download as a failure.
constexpr int redirectLimit = 20;

bool isSuccess(int status)
{
    return status >= 200 && status < 300;
}

bool isFollowedRedirect(const RawResponse &r)
{
    return r.status >= 300 && r.status < 400 && r.status != 304 && !r.redirectUrl.isEmpty();
}

} // namespace

QString DownloadPage(const QString &url)
{
    return DownloadPage(url, FetchOptions{});
}

QString DownloadPage(const QString &url, const FetchOptions &options)
{
    // One client per download: its connection and cookies serve this
    // redirect chain and are gone when the call returns.
    HttpTransfer transfer(options);
    QByteArray target = encodeRequestUrl(url);
    for (int redirects = 0;;) {
        if (const auto problem = schemeProblem(target, transfer.tlsAvailable()))
            throw Error(*problem);
        RawResponse response = transfer.get(target);
        if (isSuccess(response.status))
            return decodeResponse(response.head, std::move(response.body), options.maxBodyBytes);
        if (isFollowedRedirect(response)) {
            if (++redirects >= redirectLimit)
                throw Error(QStringLiteral("Too many redirects."));
            target = response.redirectUrl;
            continue;
        }
        throw Error(QString::fromLatin1(response.head.statusLine));
    }
}

} // namespace sentrel
