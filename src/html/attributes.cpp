#include "html/attributes.h"
#include "html/errorkind.h"
#include "text/lines.h"
#include <algorithm>
#include <vector>

namespace sentrel::html {

namespace {

// What the dictionary raises, in the parser's words, when a key is given twice.
const QString DuplicateKind = QStringLiteral("DuplicateKeyError");
QString duplicateMessage(QStringView key)
{
    return QStringLiteral("key \"%1\" is already present").arg(key);
}

// Each duplicate warning repeats the whole attribute text, so a tag that gives
// thousands of names twice would fill memory quadratically; past this many
// for one text the rest are counted in one closing line.
constexpr int DuplicateWarningsShown = 20;

} // namespace

AttributeDict ParseAttributes(QStringView text, const AttributePattern &pattern, QStringList &parseErr,
                              StringPool *pool, std::pmr::memory_resource *memory)
{
    AttributeDict dict(memory);
    auto copy = [pool](QStringView s) { return pool ? pool->intern(s) : s.toString(); };
    if (trimmedView(text).isEmpty())
        return dict;
    // The text is matched where it stands; the parts no match took are
    // gathered only when some of them is more than blanks.
    std::vector<std::pair<qsizetype, qsizetype>> taken;
    bool leftOver = false;
    auto noteGap = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && !leftOver; ++i)
            leftOver = text[i].unicode() > 0x20;
    };
    try {
        const RegexSubject subject(text);
        AttributeScan scan(pattern, subject);
        RegexMatch m;
        int duplicates = 0;
        while (scan.next(m)) {
            noteGap(taken.empty() ? 0 : taken.back().second, m.start());
            taken.emplace_back(m.start(), m.end());
            for (int g = 1; g < m.groupCount(); ++g) {
                const QStringView keyGroup = m.captured(g);
                const QStringView key = trimmedView(keyGroup);
                if (key.isEmpty())
                    continue;
                const QString value =
                    g + 1 < m.groupCount() ? copy(trimmedView(m.captured(g + 1))) : QString();
                if (!dict.add(copy(key), value) && ++duplicates <= DuplicateWarningsShown)
                    parseErr.append(QStringLiteral("Warning: not add Attributtes ") + DuplicateKind +
                                    QStringLiteral(" : ") + duplicateMessage(key) +
                                    QStringLiteral("Sourse string: ") + text.toString() +
                                    QStringLiteral(";\r\n attributtes: ") + keyGroup.toString());
                break;
            }
        }
        if (duplicates > DuplicateWarningsShown)
            parseErr.append(QStringLiteral("Warning: not add Attributtes ") + DuplicateKind +
                            QStringLiteral(" : %1 more keys already present in the same attribute text")
                                .arg(duplicates - DuplicateWarningsShown));
        if (taken.empty()) {
            parseErr.append(QStringLiteral("Attributtes not found - Sourse string: ") + text.toString());
            return dict;
        }
        noteGap(taken.back().second, text.size());
        if (leftOver) {
            // The text with every match blanked out, trimmed.
            QString working = text.toString();
            for (const auto &[from, to] : taken)
                std::fill(working.begin() + from, working.begin() + to, u' ');
            parseErr.append(QStringLiteral("Warning: parsed not all attributes, sourse string: ") +
                            text.toString() + QStringLiteral("\r\nnot parsed string: ") +
                            trimmedView(working).toString());
        }
    } catch (const std::exception &e) {
        const auto *error = dynamic_cast<const Error *>(&e);
        parseErr.append(QStringLiteral("Attributtes - ") + errorKindName(e) + QStringLiteral(" : ") +
                        (error ? error->message() : QString::fromUtf8(e.what())) +
                        QStringLiteral("Sourse string: ") + text.toString());
    }
    return dict;
}

} // namespace sentrel::html
