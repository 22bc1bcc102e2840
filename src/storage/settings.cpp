#include "storage/settings.h"
#include "storage/textfile.h"
#include "text/error.h"
#include "text/lines.h"
#include "text/numbers.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <charconv>

namespace sentrel {

namespace {

// The program writes UTF-8 with a byte order mark; a user who then types a
// value in an editor set to the 8-bit code page adds one line that is not
// UTF-8. Decoding line by line keeps both kinds readable.
QString settingsText(QByteArrayView bytes)
{
    const DecodedText whole = decodeText(bytes);
    if (whole.encoding != TextEncoding::Utf8Bom && whole.encoding != TextEncoding::Windows1252)
        return whole.text;
    if (whole.encoding == TextEncoding::Utf8Bom)
        bytes = bytes.sliced(3);
    QString text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView line = end < 0 ? bytes : bytes.first(end + 1);
        bytes = bytes.sliced(line.size());
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = utf8.decode(line);
        text += utf8.hasError() ? decodeWindows1252(line) : decoded;
    }
    return text;
}

// The file's text, or why it cannot be used as settings.
struct SettingsRead {
    std::optional<QString> text;
    QString problem;
};

SettingsRead readSettingsText(const QString &path)
{
    try {
        QString text = settingsText(readFileBytes(path));
        if (text.contains(QChar(0)))
            return {std::nullopt, QStringLiteral("it is no text: it holds NUL bytes")};
        return {std::move(text), {}};
    } catch (const Error &e) {
        return {std::nullopt, e.message()};
    }
}

// Renames the file to "NAME.bad-yyyyMMdd-HHmmss" (with "-2", "-3", ... when
// that name is taken); the new path, or nullopt when it cannot be renamed.
std::optional<QString> moveAside(const QString &path)
{
    const QString stem = path + QStringLiteral(".bad-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= 100; ++n) {
        const QString target = n == 1 ? stem : stem + u'-' + QString::number(n);
        if (QFileInfo::exists(target))
            continue;
        return QFile::rename(path, target) ? std::optional(target) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

SettingsFile SettingsFile::open(const QString &dataFolder)
{
    const QString path = QDir(dataFolder).filePath(QString::fromUtf16(SettingsFileName));
    if (!QFileInfo::exists(path))
        return SettingsFile(path, IniDocument());
    const SettingsRead read = readSettingsText(path);
    if (read.text)
        return SettingsFile(path, IniDocument::parse(*read.text));
    // What the user set must not vanish unseen: keep the file for them to
    // look at or mend, and say where it went.
    SettingsFile settings(path, IniDocument());
    const QString shown = QDir::toNativeSeparators(path);
    const std::optional<QString> movedTo = QFileInfo(path).isFile() ? moveAside(path) : std::nullopt;
    if (movedTo)
        settings.openNotice_ =
            QStringLiteral("The settings file \"%1\" could not be read (%2). It was moved to "
                           "\"%3\"; the default settings are used.")
                .arg(shown, read.problem, QDir::toNativeSeparators(*movedTo));
    else
        settings.openNotice_ =
            QStringLiteral("The settings file \"%1\" could not be read (%2); the default settings are used.")
                .arg(shown, read.problem);
    return settings;
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

std::optional<int> parseSettingsInteger(QStringView text)
{
    return parseDecimal<int>(text);
}

} // namespace sentrel
