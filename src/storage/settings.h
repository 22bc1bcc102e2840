#pragma once
#include "storage/inifile.h"
#include <QString>
#include <QStringView>
#include <optional>

namespace sentrel {

// The one section the program uses.
inline constexpr char16_t SettingsSection[] = u"Settings";
inline constexpr char16_t SettingsFileName[] = u"settings.ini";

// The settings file of the data folder, held in memory for the whole run.
// Every write changes memory first and then rewrites the whole file, so the
// file always shows the settings as they are. Not thread-safe: the window's
// thread is its only user.
class SettingsFile {
public:
    // Reads dataFolder + "settings.ini". A missing file gives empty settings.
    // Each line is read as UTF-8, or as Windows-1252 where it is not UTF-8
    // (a value typed in an 8-bit editor); a byte order mark naming UTF-16 or
    // UTF-32 decides for the whole file. A file that cannot be read, or that
    // is no text at all (NUL bytes, as in a file zeroed by a crash), is never
    // deleted: it is moved aside to "settings.ini.bad-yyyyMMdd-HHmmss" (local
    // time), the settings start empty, and openNotice() tells the user.
    static SettingsFile open(const QString &dataFolder);

    SettingsFile(QString path, IniDocument document) : path_(std::move(path)), document_(std::move(document))
    {
    }

    const QString &path() const { return path_; }

    // What the user must be told about the opening, "" when nothing: the
    // file could not be read, and where it went. sentrel-cli prints it on
    // stderr, the desktop program shows it in a message box.
    const QString &openNotice() const { return openNotice_; }

    bool valueExists(QStringView section, QStringView key) const { return document_.contains(section, key); }
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    // A value that is not a decimal whole number (optional sign, surrounding
    // blanks allowed, within int) reads as defaultValue.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;

    // In memory only; save() writes them out. For the places that change
    // several keys and then rewrite once.
    void setString(QStringView section, QStringView key, const QString &value);
    void setInteger(QStringView section, QStringView key, int value);

    // setString / setInteger, then save().
    void writeString(QStringView section, QStringView key, const QString &value);
    void writeInteger(QStringView section, QStringView key, int value);

    // Rewrites the whole file: UTF-8 with byte order mark, CR LF line ends,
    // through a temporary file so that a failure never leaves a cut-off file.
    // Throws sentrel::Error naming the file and the reason; memory keeps every
    // change, and the next successful save writes it.
    void save() const;

private:
    QString path_;
    IniDocument document_;
    QString openNotice_;
};

// Decimal whole number: optional sign, surrounding blanks allowed, within int.
std::optional<int> parseSettingsInteger(QStringView text);

} // namespace sentrel
