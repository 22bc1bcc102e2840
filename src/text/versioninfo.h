#pragma once
#include <QString>

namespace sentrel {

// The program's version record: the strings a version resource carries, each
// empty when the build does not set it.
struct TEXEVersionData {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;

    // Company name, " - ", product name ("Orlith - Sentrel"): the main window's
    // caption, the tray icon's hint and the autostart entry's name. An empty
    // part keeps the separator.
    QString windowTitle() const { return CompanyName + QStringLiteral(" - ") + ProductName; }
};

// The fixed, numeric file version.
struct FileVersionNumber {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned release = 0;
    unsigned build = 0;
};

// This program's record, from the build's constants.
TEXEVersionData readVersionInfo();
// This program's numeric file version, from the build's constants.
FileVersionNumber fileVersionNumber();

// "major.minor" in decimal ("2.0" for 2.0.0.0, "10.3" for 10.3.1.7): the
// version shown by the about box and sent with feedback.
QString versionText(const FileVersionNumber &version);
QString versionText(); // this program's

} // namespace sentrel
