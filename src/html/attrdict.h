#pragma once
#include <QHash>
#include <QString>
#include <QStringView>
#include <memory_resource>
#include <span>
#include <utility>
#include <vector>

namespace sentrel {

// The attribute dictionary of a node: attribute name to value as the page
// writes them. Keys compare exactly (case-sensitive); a second entry for a key
// that is present is refused. Entries keep the order in which they were added.
class AttributeDict {
public:
    using Entry = std::pair<QString, QString>;
    // `memory`: where the entries live; a parsed tree passes its arena.
    explicit AttributeDict(std::pmr::memory_resource *memory = std::pmr::get_default_resource())
        : entries_(memory)
    {
    }

    // Adds the pair unless the key is present; returns whether it was added.
    bool add(QString key, QString value);
    // The stored value, or null when the key is absent.
    const QString *find(QStringView key) const;
    bool contains(QStringView key) const { return find(key) != nullptr; }
    qsizetype size() const { return qsizetype(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    std::span<const Entry> entries() const { return {entries_.data(), entries_.size()}; }

private:
    std::pmr::vector<Entry> entries_;
    // Built once a tag carries many attributes, so that a hostile tag with
    // thousands of them is not read in quadratic time.
    QHash<QString, qsizetype> index_;
};

} // namespace sentrel
