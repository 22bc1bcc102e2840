#include "storage/exclusions.h"
#include "storage/textfile.h"
#include "text/lines.h"
#include <QDir>
#include <QFileInfo>

namespace sentrel {

namespace {
QString exclusionsPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QString::fromUtf16(ExclusionsFileName));
}
} // namespace

QStringList defaultExclusions()
{
    return {QStringLiteral("Visitor Number"), QStringLiteral("The total number of downloads"),
            QStringLiteral("Script execution time")};
}

QStringList loadExclusions(const QString &dataFolder)
{
    const QString path = exclusionsPath(dataFolder);
    QStringList list;
    if (QFileInfo(path).exists())
        list = splitLines(readTextFile(path).text);
    if (list.isEmpty())
        list = defaultExclusions();
    return list;
}

QString exclusionEditorText(const QStringList &entries)
{
    return joinLines(entries);
}

void confirmExclusions(QStringList &list, const QString &dataFolder, QStringView editorText)
{
    list = splitLines(editorText);
    writeUtf8File(exclusionsPath(dataFolder), editorText);
}

} // namespace sentrel
