#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>

// The line helpers every text step shares, so that texts compared and stored
// always have the same line structure.
namespace sentrel {

// Removes every leading and trailing code unit at or below U+0020.
QString trim(QStringView text);
QStringView trimmedView(QStringView text);

// Cuts at CR LF, lone CR and lone LF. A final line break opens no empty line;
// the text ends at its first NUL; an empty text gives no lines.
QStringList splitLines(QStringView text);

// Each line followed by CR LF, the last one included; no lines give "".
QString joinLines(const QStringList &lines);

// joinLines(splitLines(text)) in one pass, without the intermediate list.
QString normalizeLines(QStringView text);

// The lines of a text on one line, joined by ": " (blank lines dropped), for
// output that must keep one record per line: a status such as
// "Socket Error # 111" CR LF "Connection refused" in a log or a terminal.
QString oneLineText(QStringView text);

// Equality of two QStringViews ignoring the case of A-Z/a-z only.
bool equalsAsciiCaseless(QStringView a, QStringView b);
// Position of needle in haystack from `from` on, A-Z/a-z compared caselessly; -1 if absent.
qsizetype indexOfAsciiCaseless(QStringView haystack, QStringView needle, qsizetype from = 0);

} // namespace sentrel
