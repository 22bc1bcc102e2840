#pragma once
#include "diff/textdiff.h"
#include <QString>
#include <QStringView>
#include <stdexcept>
#include <string>
#include <vector>

// Applies a diff to the older text the way `patch` would, checking every
// context and removed line against it: what comes out must be the newer text.
// A diff that does not fit the older text throws std::logic_error.
namespace sentrel::difftest {

struct SourceLine {
    QString text;
    DiffLine::End end;
};

inline std::vector<SourceLine> linesWithEnds(QStringView text)
{
    std::vector<SourceLine> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0) {
            lines.push_back({text.sliced(start).toString(), DiffLine::End::None});
            break;
        }
        const bool crlf = lf > start && text[lf - 1] == u'\r';
        lines.push_back({text.sliced(start, lf - start - (crlf ? 1 : 0)).toString(),
                         crlf ? DiffLine::End::CrLf : DiffLine::End::Lf});
        start = lf + 1;
    }
    return lines;
}

inline void appendLine(QString &out, const QString &text, DiffLine::End end)
{
    out += text;
    if (end == DiffLine::End::Lf)
        out += u'\n';
    else if (end == DiffLine::End::CrLf)
        out += QStringLiteral("\r\n");
}

inline QString rebuildNewer(QStringView older, const TextDiff &diff)
{
    const std::vector<SourceLine> source = linesWithEnds(older);
    QString out;
    std::size_t next = 0;
    auto copyUpTo = [&](std::size_t end) {
        if (end < next || end > source.size())
            throw std::logic_error("hunk starts at old line " + std::to_string(end) + ", out of order");
        for (; next < end; ++next)
            appendLine(out, source[next].text, source[next].end);
    };
    for (const DiffHunk &hunk : diff.hunks) {
        copyUpTo(std::size_t(hunk.oldCount == 0 ? hunk.oldStart : hunk.oldStart - 1));
        for (const DiffLine &line : hunk.lines) {
            if (line.kind == DiffLine::Kind::Added) {
                appendLine(out, line.text, line.end);
                continue;
            }
            if (next >= source.size() || source[next].text != line.text || source[next].end != line.end)
                throw std::logic_error("old line " + std::to_string(next + 1) + " is not " +
                                       line.text.toStdString());
            if (line.kind == DiffLine::Kind::Context)
                appendLine(out, line.text, line.end);
            ++next;
        }
    }
    copyUpTo(source.size());
    return out;
}

} // namespace sentrel::difftest
