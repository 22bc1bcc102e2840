#include "dialogs/feedbackpost.h"
#include "fetch/curlhandles.h"
#include "text/error.h"
#include "text/lines.h"
#include "text/regex.h"
#include <curl/curl.h>

namespace sentrel {

QString panelMessageText(const QString &english, const QString &caption)
{
    if (caption == english)
        return english;
    return english + QStringLiteral(" (") + caption + u')';
}

QString feedbackMessage(const QString &panelText, const QString &messageField)
{
    QString message;
    if (!panelText.isEmpty())
        message = panelText + u'\r';
    // The field's lines joined by CR LF, as the form's memo holds them.
    QString field = trim(messageField);
    field.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    field.replace(u'\r', u'\n');
    field.replace(u'\n', QStringLiteral("\r\n"));
    return message + field;
}

bool isValidEmail(const QString &trimmedAddress)
{
    static const Regex pattern(u"^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$",
                               Regex::NoFlags);
    const RegexSubject subject(trimmedAddress);
    RegexMatch match;
    return pattern.findNext(subject, 0, match, PCRE2_NOTEMPTY) && match.start() == 0 &&
           match.end() == trimmedAddress.size();
}

QList<FormField> feedbackFields(const QString &windowTitle, const QString &versionText,
                                const QString &message, const QString &trimmedEmail)
{
    QList<FormField> fields{{QStringLiteral("cmd"), QStringLiteral("feedback")},
                            {QStringLiteral("appname"), windowTitle},
                            {QStringLiteral("version"), versionText},
                            {QStringLiteral("feedback"), message}};
    if (!trimmedEmail.isEmpty())
        fields.append({QStringLiteral("email"), trimmedEmail});
    return fields;
}

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
    static_cast<QByteArray *>(target)->append(data, qsizetype(size * count));
    return size * count;
}

} // namespace

QString CurlFormPoster::post(const QString &url, const QList<FormField> &fields)
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
    curl_easy_setopt(h, CURLOPT_URL, target.constData());
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, TimeoutMs);
    // The response time-out: no byte for 3 seconds ends the post; the whole
    // exchange is capped at connect plus response time.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, TimeoutMs / 1000);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, 2 * TimeoutMs);
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

QString postFeedback(FormPoster &poster, const QString &site, const QList<FormField> &fields)
{
    const QString path = QString::fromUtf16(FeedbackPath);
    for (const QString &scheme : {QStringLiteral("https://"), QStringLiteral("http://")}) {
        try {
            return poster.post(scheme + site + path, fields);
        } catch (const Error &) {
            // The next scheme, or no answer at all.
        }
    }
    return QString();
}

bool isDelivered(const QString &response)
{
    return trim(response) == u"OK";
}

} // namespace sentrel
