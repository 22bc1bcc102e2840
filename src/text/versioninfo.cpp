#include "text/versioninfo.h"
#include "text/buildinfo.h"

namespace sentrel {

TEXEVersionData readVersionInfo()
{
    TEXEVersionData v;
    v.CompanyName = QString::fromUtf16(buildinfo::CompanyName);
    v.FileDescription = QString::fromUtf16(buildinfo::FileDescription);
    v.FileVersion = QString::fromUtf16(buildinfo::FileVersion);
    v.InternalName = QString::fromUtf16(buildinfo::ProductName);
    v.LegalCopyright = QString::fromUtf16(buildinfo::LegalCopyright);
    v.OriginalFileName = QStringLiteral("sentrel");
    v.ProductName = QString::fromUtf16(buildinfo::ProductName);
    v.ProductVersion = QString::fromUtf16(buildinfo::FileVersion);
    return v;
}

FileVersionNumber fileVersionNumber()
{
    return {buildinfo::VersionMajor, buildinfo::VersionMinor, buildinfo::VersionPatch,
            buildinfo::VersionTweak};
}

QString versionText(const FileVersionNumber &version)
{
    return QStringLiteral("%1.%2").arg(version.major).arg(version.minor);
}

QString versionText()
{
    return versionText(fileVersionNumber());
}

} // namespace sentrel
