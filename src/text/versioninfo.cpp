#include "text/versioninfo.h"
#include "text/buildinfo.h"

namespace sentrel {

VersionInfo readVersionInfo()
{
    return {QString::fromUtf16(buildinfo::CompanyName), QString::fromUtf16(buildinfo::ProductName),
            QString::fromUtf16(buildinfo::FileVersion)};
}

} // namespace sentrel
