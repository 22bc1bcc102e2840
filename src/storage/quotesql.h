#pragma once
#include <QString>
#include <QStringView>

namespace sentrel {

// The one way a value enters an SQL statement: the text between single quotes,
// every single quote inside doubled. Nothing else is escaped, so line breaks
// and every other character reach the database unchanged; "" gives '' (an
// empty text, not NULL).
QString QuoteSql(QStringView text);

} // namespace sentrel
