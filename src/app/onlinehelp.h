#pragma once
#include <QString>

namespace sentrel {

// The host of the maker's web site (a build-time constant).
QString makerSite();

// The help page of a product on the maker's site, over plain HTTP:
// "/help/" + the product name in lower case with every blank made "-" + "/".
QString onlineHelpAddress(const QString &productName);

} // namespace sentrel
