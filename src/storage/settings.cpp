#include "storage/settings.h"
#include "storage/textfile.h"
#include "text/error.h"
#include "text/lines.h"
#include "text/numbers.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>

namespace sentrel {

namespace {

// Reads the file's text; nullopt when it exists but cannot be used.
std::optional<QString> readSettingsText(const QString &path)
{
    try {
        DecodedText d = readTextFile(path);
        if (d.encoding == TextEncoding::Windows1252)
            return std::nullopt; // not UTF-8 and no byte order mark naming something else
        return std::move(d.text);
    } catch (const Error &) {
        return std::nullopt;
    }
}

} // namespace

SettingsFile SettingsFile::open(const QString &dataFolder)
{
    const QString path = QDir(dataFolder).filePath(QString::fromUtf16(SettingsFileName));
    if (!QFileInfo::exists(path))
        return SettingsFile(path, IniDocument());
    if (const std::optional<QString> text = readSettingsText(path))
        return SettingsFile(path, IniDocument::parse(*text));
    QFile::remove(path);
    return SettingsFile(path, IniDocument());
}

QString SettingsFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return document_.value(section, key).value_or(defaultValue);
}

int SettingsFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const std::optional<QString> text = document_.value(section, key);
    if (!text)
        return defaultValue;
    return parseSettingsInteger(*text).value_or(defaultValue);
}

void SettingsFile::setString(QStringView section, QStringView key, const QString &value)
{
    document_.setValue(section, key, value);
}

void SettingsFile::setInteger(QStringView section, QStringView key, int value)
{
    document_.setValue(section, key, QString::number(value));
}

void SettingsFile::writeString(QStringView section, QStringView key, const QString &value)
{
    setString(section, key, value);
    save();
}

void SettingsFile::writeInteger(QStringView section, QStringView key, int value)
{
    setInteger(section, key, value);
    save();
}

void SettingsFile::save() const
{
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += document_.toText().toUtf8();
    try {
        writeFileAtomically(path_, bytes);
    } catch (const Error &e) {
        throw Error(QStringLiteral("The settings could not be saved. %1").arg(e.message()));
    }
}

std::optional<int> parseSettingsInteger(QStringView text) { return parseDecimal<int>(text); }

} // namespace sentrel
