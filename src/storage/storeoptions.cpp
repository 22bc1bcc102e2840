#include "storage/storeoptions.h"
#include "storage/quotesql.h"
#include "storage/websitedb.h"

namespace sentrel {

namespace {

QString quotedOrNull(bool set, QStringView value)
{
    return set ? QuoteSql(value) : QStringLiteral("NULL");
}

} // namespace

int toLineNumber(QStringView text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < 0)
        return 0;
    return value > MaxLineNumber ? MaxLineNumber : int(value);
}

EditUrlOptions editOptionsFromRow(const StoreRow &row)
{
    EditUrlOptions o;
    o.strip = row.text(u"STRIP") != u"NO";
    const QString start = row.text(u"LINESTART");
    const QString stop = row.text(u"LINESTOP");
    if (!start.isEmpty() || !stop.isEmpty()) {
        o.lineRange = true;
        o.lineStart = toLineNumber(start);
        o.lineStop = toLineNumber(stop);
    }
    const auto fill = [&](QStringView column, bool &box, QString &edit) {
        QString value = row.text(column);
        if (!value.isEmpty()) {
            box = true;
            edit = std::move(value);
        }
    };
    fill(u"KEYWORD", o.keyword, o.keywordText);
    fill(u"XPATH", o.xpath, o.xpathText);
    fill(u"REGEX", o.regex, o.regexText);
    return o;
}

QString editOptionsUpdateSql(QStringView newUrl, const EditUrlOptions &o, QStringView targetUrl)
{
    const QString start = QString::number(o.lineStart);
    const QString stop = QString::number(o.lineStop);
    return QStringLiteral("update WEBSITES set URL=") + QuoteSql(newUrl) + QStringLiteral(", STRIP=") +
           QuoteSql(o.strip ? u"YES" : u"NO") + QStringLiteral(", LINESTART=") +
           quotedOrNull(o.lineRange, start) + QStringLiteral(", LINESTOP=") +
           quotedOrNull(o.lineRange, stop) + QStringLiteral(", KEYWORD=") +
           quotedOrNull(o.keyword, o.keywordText) + QStringLiteral(", XPATH=") +
           quotedOrNull(o.xpath, o.xpathText) + QStringLiteral(", REGEX=") +
           quotedOrNull(o.regex, o.regexText) +
           QStringLiteral(", CONTENT=NULL, LASTCHANGE=NULL, STATUS=NULL where URL=") + QuoteSql(targetUrl) +
           QStringLiteral(";");
}

} // namespace sentrel
