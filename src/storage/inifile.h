#pragma once
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace sentrel {

// An INI text held in memory: sections of "key=value" lines. Section and key
// names match without regard to letter case; values are kept as they are.
// Everything the program does not know (other sections, other keys, comment
// lines) survives a read and a write, in its place.
class IniDocument {
public:
    // Blank lines are dropped; names and values lose their surrounding blanks.
    // Lines before the first section, comments and lines without "=" are kept
    // verbatim. A section that appears twice is merged into its first place.
    static IniDocument parse(QStringView text);

    // Each section line followed by its lines in their order and one empty
    // line; CR LF line ends.
    QString toText() const;

    // The value of the first matching key, if there is one.
    std::optional<QString> value(QStringView section, QStringView key) const;
    bool contains(QStringView section, QStringView key) const { return value(section, key).has_value(); }

    // Changes the first matching key in place, or appends the key to its
    // section (the section to the end). Throws sentrel::Error for a name or
    // value that the file format cannot hold (a line break, a NUL, "=" or
    // "[" in a key).
    void setValue(QStringView section, QStringView key, const QString &value);

private:
    struct Line {
        QString key;   // empty for a line kept verbatim
        QString value; // the value, or the verbatim line
    };
    struct Section {
        QString name;
        QList<Line> lines;
    };

    Section *findSection(QStringView name);
    const Section *findSection(QStringView name) const;

    QList<QString> preamble_; // lines before the first section
    QList<Section> sections_;
};

} // namespace sentrel
