#include "storage/inifile.h"
#include "text/error.h"
#include "text/lines.h"

namespace sentrel {

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool holdsLineBreakOrNul(QStringView text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    return false;
}

bool isComment(QStringView line)
{
    return line.startsWith(u';') || line.startsWith(u'#');
}

} // namespace

IniDocument IniDocument::parse(QStringView text)
{
    IniDocument doc;
    Section *current = nullptr;
    for (const QString &raw : splitLines(text)) {
        const QStringView line = trimmedView(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QStringView name = trimmedView(line.sliced(1, line.size() - 2));
            current = doc.findSection(name);
            if (!current) {
                doc.sections_.append({name.toString(), {}});
                current = &doc.sections_.last();
            }
            continue;
        }
        if (!current) {
            doc.preamble_.append(line.toString());
            continue;
        }
        const qsizetype eq = isComment(line) ? -1 : line.indexOf(u'=');
        const QStringView key = eq > 0 ? trimmedView(line.first(eq)) : QStringView();
        if (key.isEmpty())
            current->lines.append({QString(), line.toString()});
        else
            current->lines.append({key.toString(), trim(line.sliced(eq + 1))});
    }
    return doc;
}

QString IniDocument::toText() const
{
    QString out;
    for (const QString &line : preamble_)
        out += line + QStringLiteral("\r\n");
    if (!preamble_.isEmpty())
        out += QStringLiteral("\r\n");
    for (const Section &s : sections_) {
        out += u'[' + s.name + QStringLiteral("]\r\n");
        for (const Line &l : s.lines) {
            if (!l.key.isEmpty())
                out += l.key + u'=';
            out += l.value + QStringLiteral("\r\n");
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

IniDocument::Section *IniDocument::findSection(QStringView name)
{
    for (Section &s : sections_)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const IniDocument::Section *IniDocument::findSection(QStringView name) const
{
    return const_cast<IniDocument *>(this)->findSection(name);
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    if (const Section *s = findSection(section))
        for (const Line &l : s->lines)
            if (!l.key.isEmpty() && sameName(l.key, key))
                return l.value;
    return std::nullopt;
}

void IniDocument::setValue(QStringView section, QStringView key, const QString &value)
{
    // A line break would split the entry and let the rest of the value be read
    // back as a key of its own; refuse what cannot be read back as written.
    const QStringView bareSection = trimmedView(section);
    const QStringView bareKey = trimmedView(key);
    if (bareSection.isEmpty() || bareSection.size() != section.size() || holdsLineBreakOrNul(section) ||
        section.contains(u']'))
        throw Error(QStringLiteral("The settings section name \"%1\" cannot be stored.").arg(section));
    if (bareKey.isEmpty() || bareKey.size() != key.size() || holdsLineBreakOrNul(key) || key.contains(u'=') ||
        key.startsWith(u'[') || isComment(key))
        throw Error(QStringLiteral("The settings key name \"%1\" cannot be stored.").arg(key));
    if (holdsLineBreakOrNul(value))
        throw Error(QStringLiteral("The value of the setting %1 cannot hold a line break.").arg(key));

    Section *s = findSection(section);
    if (!s) {
        sections_.append({section.toString(), {}});
        s = &sections_.last();
    }
    for (Line &l : s->lines) {
        if (!l.key.isEmpty() && sameName(l.key, key)) {
            l.value = value;
            return;
        }
    }
    s->lines.append({key.toString(), value});
}

} // namespace sentrel
