#pragma once
#include <QString>

namespace sentrel {

// The help page of a product on the maker's site, over plain HTTP:
// "/help/" + the product name in lower case with every blank made "-" + "/".
QString onlineHelpAddress(const QString &productName);

} // namespace sentrel
