#include "app/filefilter.h"
#include <QStringList>

namespace sentrel {

QString qtFileFilter(QStringView pairs)
{
    const QStringList parts = pairs.toString().split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (patterns.isEmpty()) {
            if (!description.isEmpty())
                filters.append(description);
            continue;
        }
        // Qt reads the patterns from the parentheses; several are separated by
        // blanks there, by ";" in the pair form.
        const QString qtPatterns = QString(patterns).replace(u';', u' ');
        if (description.contains(u'(') && description.endsWith(u')'))
            filters.append(description.left(description.lastIndexOf(u'(')) + u'(' + qtPatterns + u')');
        else
            filters.append((description.isEmpty() ? qtPatterns : description) + QStringLiteral(" (") +
                           qtPatterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace sentrel
