#include "html/attributes.h"
#include "html/errorkind.h"
#include "text/lines.h"
#include <algorithm>

namespace sentrel::html {

namespace {

// What the dictionary raises, in the parser's words, when a key is given twice.
const QString DuplicateKind = QStringLiteral("DuplicateKeyError");
QString duplicateMessage(QStringView key) { return QStringLiteral("key \"%1\" is already present").arg(key); }

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
    const QString source = text.toString();
    QString working = source;
    try {
        const RegexSubject subject(source);
        AttributeScan scan(pattern, subject);
        RegexMatch m;
        bool any = false;
        int duplicates = 0;
        while (scan.next(m)) {
            any = true;
            std::fill(working.begin() + m.start(), working.begin() + m.end(), u' ');
            for (int g = 1; g < m.groupCount(); ++g) {
                const QStringView keyGroup = m.captured(g);
                const QStringView key = trimmedView(keyGroup);
                if (key.isEmpty())
                    continue;
                const QString value = g + 1 < m.groupCount() ? copy(trimmedView(m.captured(g + 1))) : QString();
                if (!dict.add(copy(key), value) && ++duplicates <= DuplicateWarningsShown)
                    parseErr.append(QStringLiteral("Warning: not add Attributtes ") + DuplicateKind + QStringLiteral(" : ")
                                    + duplicateMessage(key) + QStringLiteral("Sourse string: ") + source
                                    + QStringLiteral(";\r\n attributtes: ") + keyGroup.toString());
                break;
            }
        }
        if (duplicates > DuplicateWarningsShown)
            parseErr.append(QStringLiteral("Warning: not add Attributtes ") + DuplicateKind
                            + QStringLiteral(" : %1 more keys already present in the same attribute text")
                                  .arg(duplicates - DuplicateWarningsShown));
        if (!any) {
            parseErr.append(QStringLiteral("Attributtes not found - Sourse string: ") + source);
        } else {
            const QStringView rest = trimmedView(working);
            if (!rest.isEmpty())
                parseErr.append(QStringLiteral("Warning: parsed not all attributes, sourse string: ") + source
                                + QStringLiteral("\r\nnot parsed string: ") + rest.toString());
        }
    } catch (const std::exception &e) {
        const auto *error = dynamic_cast<const Error *>(&e);
        parseErr.append(QStringLiteral("Attributtes - ") + errorKindName(e) + QStringLiteral(" : ")
                        + (error ? error->message() : QString::fromUtf8(e.what())) + QStringLiteral("Sourse string: ")
                        + source);
    }
    return dict;
}

} // namespace sentrel::html
