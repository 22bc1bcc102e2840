#include "check/reduction.h"
#include "html/extract.h"
#include "text/lines.h"
#include "text/regex.h"

namespace sentrel {

int lineBound(QStringView text)
{
    return lineBoundAsChecked(parseLineNumber(text));
}

QString keepLineRange(QStringView text, int start, int stop)
{
    const QStringList lines = splitLines(text);
    QStringList kept;
    kept.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (start != 0 && i < start)
            continue;
        if (stop != 0 && i > stop)
            continue;
        kept.append(lines[i]);
    }
    return joinLines(kept);
}

QString keepKeywordLines(QStringView text, QStringView keyword)
{
    QStringList kept;
    for (const QString &line : splitLines(text))
        if (indexOfAsciiCaseless(line, keyword) >= 0)
            kept.append(line);
    return joinLines(kept);
}

QString selectXPathText(QStringView text, QStringView expression)
{
    validateXPath(expression);
    return ExtractXPathText(text, expression, XPathTextMode::TagAndText, false);
}

namespace {

constexpr uint32_t UserRegexFlags = Regex::Caseless | Regex::Multiline;

} // namespace

void validateUserRegex(QStringView pattern)
{
    const Regex compiled(pattern, UserRegexFlags);
}

QString keepRegexMatches(QStringView text, QStringView pattern)
{
    const Regex regex(pattern, UserRegexFlags, Regex::Limits{UserRegexMatchLimit, UserRegexDepthLimit});
    const RegexSubject subject(text);
    QStringList matches;
    try {
        regex.forEachMatch(subject,
                           [&matches](const RegexMatch &m) { matches.append(m.captured().toString()); });
    } catch (const RegexLimitError &e) {
        throw RegexRunawayError(
            QStringLiteral("Error in regular expression: the search was stopped because the pattern "
                           "backtracks too much on this page (%1)")
                .arg(e.message()));
    }
    return joinLines(matches);
}

QString dropExcludedLines(QStringView text, const QStringList &exclusions)
{
    QStringList active;
    for (const QString &e : exclusions)
        if (!e.isEmpty())
            active.append(e);
    if (active.isEmpty())
        return normalizeLines(text);
    QStringList kept;
    for (const QString &line : splitLines(text)) {
        bool excluded = false;
        if (!line.isEmpty()) {
            for (const QString &e : active) {
                if (line.contains(e)) {
                    excluded = true;
                    break;
                }
            }
        }
        if (!excluded)
            kept.append(line);
    }
    return joinLines(kept);
}

QString reducePage(QStringView body, const CheckOptions &options, StripMethod method,
                   const QStringList &exclusions)
{
    QString text = options.strip ? strip(method, body) : body.toString();
    if (options.lineRange)
        text =
            keepLineRange(text, lineBoundAsChecked(options.lineStart), lineBoundAsChecked(options.lineStop));
    if (isOn(options.keyword))
        text = keepKeywordLines(text, *options.keyword);
    if (isOn(options.xpath))
        text = selectXPathText(text, *options.xpath);
    if (isOn(options.regex))
        text = keepRegexMatches(text, *options.regex);
    return dropExcludedLines(text, exclusions);
}

} // namespace sentrel
