#pragma once
#include <QString>

namespace sentrel {

// The program's version record, from the build.
struct VersionInfo {
    QString companyName;
    QString productName;
    QString fileVersion;

    // "Orlith - Sentrel": the main window's caption and the autostart entry's name.
    QString windowTitle() const { return companyName + QStringLiteral(" - ") + productName; }
};

VersionInfo readVersionInfo();

} // namespace sentrel
