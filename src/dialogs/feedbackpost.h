#pragma once
#include "fetch/formpost.h"
#include <QList>
#include <QString>

// The widget-free part of the feedback form: the message text, the e-mail
// check, the form fields and their post to the maker's feedback page.
namespace sentrel {

inline constexpr char16_t FeedbackPath[] = u"/php/feedback.php";

// The text of a panel for the message: the English text, with the shown
// (translated) caption in parentheses after it when they differ.
QString panelMessageText(const QString &english, const QString &caption);

// The posted message: the selected panel's text and a CR, then the trimmed
// text of the message field with its lines joined by CR LF.
QString feedbackMessage(const QString &panelText, const QString &messageField);

// The e-mail pattern, matched against the whole trimmed address.
bool isValidEmail(const QString &trimmedAddress);

// cmd, appname, version, feedback and, when the address is not empty, email.
QList<FormField> feedbackFields(const QString &windowTitle, const QString &versionText,
                                const QString &message, const QString &trimmedEmail);

// One POST of form fields; throws sentrel::Error for any failure
// (connection, time-out, TLS, an HTTP status other than 2xx).
class FormPoster {
public:
    virtual ~FormPoster() = default;
    virtual QString post(const QString &url, const QList<FormField> &fields) = 0;
};

// The real post (fetch/formpost.h), with 3-second connect and response
// time-outs.
class CurlFormPoster final : public FormPoster {
public:
    static constexpr long TimeoutMs = 3000;
    QString post(const QString &url, const QList<FormField> &fields) override;
};

// Posts to "https://" + site + path and, when that fails in any way, to
// "http://" + site + path; "" when both fail. `site` is the host, with a
// port if any.
QString postFeedback(FormPoster &poster, const QString &site, const QList<FormField> &fields);

// The page took the message exactly when its answer, trimmed, is "OK".
bool isDelivered(const QString &response);

} // namespace sentrel
