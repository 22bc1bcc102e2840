#pragma once
#include <QString>
#include <QStringView>

namespace sentrel {

// Replaces numeric and named character references in one left-to-right pass.
QString HtmlDecode(QStringView text);

} // namespace sentrel
