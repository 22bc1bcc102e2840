#include "text/versioninfo.h"
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

TEST(VersionInfo, ThisProgramsRecordNamesItsWindowAndVersion)
{
    const TEXEVersionData v = readVersionInfo();
    EXPECT_EQ(v.CompanyName, QStringLiteral("Orlith"));
    EXPECT_EQ(v.ProductName, QStringLiteral("Sentrel"));
    EXPECT_EQ(v.windowTitle(), QStringLiteral("Orlith - Sentrel"));
    EXPECT_EQ(versionText(), QStringLiteral("2.0"));
}

TEST(VersionInfo, WindowTitleKeepsTheSeparatorWhenAPartIsEmpty)
{
    TEXEVersionData v;
    v.ProductName = QStringLiteral("Sentrel");
    EXPECT_EQ(v.windowTitle(), QStringLiteral(" - Sentrel"));
    EXPECT_EQ(TEXEVersionData().windowTitle(), QStringLiteral(" - "));
}

TEST(VersionInfo, VersionTextIsMajorDotMinor)
{
    EXPECT_EQ(versionText({2, 0, 0, 0}), QStringLiteral("2.0"));
    EXPECT_EQ(versionText({10, 3, 1, 7}), QStringLiteral("10.3"));
    EXPECT_EQ(versionText({65535, 65535, 0, 0}), QStringLiteral("65535.65535"));
}

} // namespace
