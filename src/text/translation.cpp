#include "text/translation.h"
#include "text/lines.h"
#include "text/textdecode.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace sentrel {

namespace {

QString codeTableName()
{
    return QStringLiteral("LanguageCodes.csv");
}

std::optional<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// A language file is UTF-8 (an optional byte order mark is skipped); one
// that is not is treated as unreadable.
std::optional<QStringList> readLanguageLines(const QString &path)
{
    std::optional<QByteArray> bytes = readBytes(path);
    if (!bytes)
        return std::nullopt;
    QByteArrayView view(*bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(view);
    if (utf8.hasError())
        return std::nullopt;
    return splitLines(text);
}

} // namespace

QString languageFileFor(QStringView codeTable, quint16 languageId)
{
    const QString code = QString::number(languageId);
    for (const QString &line : splitLines(codeTable)) {
        const qsizetype comma = line.indexOf(u',');
        if (comma < 0)
            continue;
        if (trimmedView(QStringView(line).first(comma)) == code)
            return trim(QStringView(line).sliced(comma + 1));
    }
    return {};
}

Translator Translator::load(const QString &programFolder, std::optional<quint16> uiLanguageId)
{
    Translator t;
    t.languagesFolder_ = QDir(programFolder).filePath(QStringLiteral("Languages"));
    const QDir folder(t.languagesFolder_);
    if (!folder.exists())
        return t;
    t.languageFiles_ = folder.entryList({QStringLiteral("*lang.txt")}, QDir::Files | QDir::Hidden,
                                        QDir::Name | QDir::IgnoreCase);

    QString fileName;
    if (uiLanguageId && QFileInfo(folder.filePath(codeTableName())).isFile()) {
        // An unreadable table counts as an empty one.
        if (const std::optional<QByteArray> table = readBytes(folder.filePath(codeTableName())))
            fileName = languageFileFor(decodeText(*table).text, *uiLanguageId);
    }
    if (fileName.isEmpty())
        return t;

    // Only a file of the folder's own list is taken, in that file's letter
    // case: a table line cannot point outside the Languages folder.
    QString listed;
    for (const QString &entry : std::as_const(t.languageFiles_)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) {
            listed = entry;
            break;
        }
    }
    if (listed.isEmpty())
        return t;
    const QString path = folder.filePath(listed);
    std::optional<QStringList> lines = readLanguageLines(path);
    if (!lines)
        return t;
    t.currentLanguageFile_ = path;
    t.lines_ = std::move(*lines);
    return t;
}

QString Translator::Translate(const QString &text) const
{
    if (!active())
        return text;
    const QString key = u'{' + text + u'}';
    for (const QString &line : lines_) {
        if (!line.startsWith(key))
            continue;
        const QStringView translation = QStringView(line).sliced(key.size());
        return translation.isEmpty() ? text : translation.toString();
    }
    return text;
}

QString Translator::languageName() const
{
    if (!active())
        return {};
    const QString name = QFileInfo(currentLanguageFile_).fileName();
    qsizetype end = name.indexOf(QStringLiteral(".lang.txt"), 0, Qt::CaseInsensitive);
    if (end < 0)
        end = name.size() - qsizetype(std::char_traits<char16_t>::length(u"lang.txt"));
    return name.first(std::max<qsizetype>(end, 0));
}

QStringList Translator::translators() const
{
    const QString key = QStringLiteral("INFO:Translated By");
    const QString list = Translate(key);
    if (list == key)
        return {};
    QStringList names;
    for (const QString &part : list.split(u','))
        if (const QString name = trim(part); !name.isEmpty())
            names.append(name);
    return names;
}

} // namespace sentrel
