#include "dialogs/feedbackpost.h"
#include "text/error.h"
#include "text/lines.h"
#include "text/regex.h"

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

QString CurlFormPoster::post(const QString &url, const QList<FormField> &fields)
{
    return postForm(url, fields, std::chrono::milliseconds(TimeoutMs));
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
