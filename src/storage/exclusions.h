#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>

// The global exclusion list: a line of a checked page that contains one of
// these texts is dropped before comparing. Entries are kept exactly as the
// file's lines hold them (no trimming; empty entries and duplicates allowed).
namespace sentrel {

inline constexpr char16_t ExclusionsFileName[] = u"exclusions.txt";

// "Visitor Number", "The total number of downloads", "Script execution time".
QStringList defaultExclusions();

// The list as start-up builds it from dataFolder + "exclusions.txt": one entry
// per line (CR LF, LF or CR; a final line break makes no extra entry), read as
// UTF-8, else per byte order mark, else Windows-1252; the defaults when that
// gives no entries (no file, or an empty one). Writes nothing. Throws
// sentrel::Error when the file exists but cannot be read.
QStringList loadExclusions(const QString &dataFolder);

// The editor's text for a list: every entry followed by CR LF.
QString exclusionEditorText(const QStringList &entries);

// The editor's OK: `list` becomes the lines of `editorText`, then the text,
// unchanged, replaces the file (UTF-8 without byte order mark, so that no
// character the user typed is lost). Throws sentrel::Error when the file
// cannot be written; `list` has been replaced by then.
void confirmExclusions(QStringList &list, const QString &dataFolder, QStringView editorText);

} // namespace sentrel
