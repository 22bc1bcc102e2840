#pragma once
#include <QString>
#include <QStringView>

// The statements the program issues against the WEBSITES table, word for
// word; every value goes through QuoteSql. Kept apart from the connection so
// that their exact text can be checked on its own.
namespace sentrel::websitesql {

QString load();                  // select * from WEBSITES;
QString add(QStringView url);    // insert a row with only URL
QString findId(QStringView url); // the ID of the URL's first row
// The content, status and time of the row with that ID, as long as it still
// holds that URL.
QString updateContent(QStringView content, QStringView status, QStringView id, QStringView url);
QString urls();                       // select URL from WEBSITES;
QString remove(QStringView url);      // every row with that URL
QString lookup(QStringView url);      // the URL's first row, all columns
QString tableInfo(QStringView table); // PRAGMA table_info(TABLE);
QString addColumn(QStringView table, QStringView column, QStringView type);

} // namespace sentrel::websitesql
