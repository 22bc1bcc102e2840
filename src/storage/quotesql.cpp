#include "storage/quotesql.h"

namespace sentrel {

QString QuoteSql(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2 + text.count(u'\''));
    out += u'\'';
    qsizetype start = 0;
    for (qsizetype i = text.indexOf(u'\''); i >= 0; i = text.indexOf(u'\'', start)) {
        out += text.sliced(start, i + 1 - start);
        out += u'\'';
        start = i + 1;
    }
    out += text.sliced(start);
    out += u'\'';
    return out;
}

} // namespace sentrel
