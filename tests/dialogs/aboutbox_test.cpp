#include "dialogs/aboutbox.h"
#include "support/qtext.h"
#include "text/versioninfo.h"
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace sentrel;

TEST(AboutBox, ShowsProductVersionAndCredits)
{
    const TEXEVersionData version = readVersionInfo();
    TAboutBox box(version.ProductName, versionText(), version.LegalCopyright);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Sentrel"));
    EXPECT_EQ(box.ProductLabel->text(), QStringLiteral("Sentrel"));
    EXPECT_EQ(box.VersionLabel->text(), QStringLiteral("Version ") + versionText());
    for (const char *library : {"Qt ", "SQLite ", "libcurl ", "PCRE2"})
        EXPECT_TRUE(box.CreditsLabel->text().contains(QString::fromLatin1(library))) << library;
    box.show();
    box.OkButton->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}
