#include "storage/websitedbsql.h"
#include "storage/quotesql.h"

namespace sentrel::websitesql {

QString load()
{
    return QStringLiteral("select * from WEBSITES;");
}

QString add(QStringView url)
{
    return QStringLiteral("insert into WEBSITES (URL) values (") + QuoteSql(url) + QStringLiteral(");");
}

QString findId(QStringView url)
{
    return QStringLiteral("select ID from WEBSITES where URL=") + QuoteSql(url) + QStringLiteral(" LIMIT 1;");
}

QString updateContent(QStringView content, QStringView status, QStringView id, QStringView url)
{
    return QStringLiteral("update WEBSITES SET CONTENT=") + QuoteSql(content) + QStringLiteral(", STATUS=") +
           QuoteSql(status) + QStringLiteral(", LASTCHANGE=DATETIME('now') where ID=") + QuoteSql(id) +
           QStringLiteral(" and URL=") + QuoteSql(url) + QStringLiteral(";");
}

QString urls()
{
    return QStringLiteral("select URL from WEBSITES;");
}

QString remove(QStringView url)
{
    return QStringLiteral("delete from WEBSITES where URL=") + QuoteSql(url) + QStringLiteral(";");
}

QString lookup(QStringView url)
{
    return QStringLiteral("select * from WEBSITES where URL=") + QuoteSql(url) + QStringLiteral(" LIMIT 1;");
}

QString tableInfo(QStringView table)
{
    return QStringLiteral("PRAGMA table_info(%1);").arg(table);
}

QString addColumn(QStringView table, QStringView column, QStringView type)
{
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3;").arg(table, column, type);
}

} // namespace sentrel::websitesql
