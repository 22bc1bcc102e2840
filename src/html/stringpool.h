#pragma once
#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <unordered_set>

// Shares the short strings a page repeats over and over (tag names, attribute
// texts, names and values, link and cell texts) between the nodes of one parse: Qt strings are
// implicitly shared, so each distinct text is allocated once instead of once
// per node. Longer strings are copied as they are.
namespace sentrel::html {

class StringPool {
public:
    QString intern(QStringView text);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(QStringView s) const noexcept { return qHash(s); }
        std::size_t operator()(const QString &s) const noexcept { return qHash(QStringView(s)); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const noexcept { return a == b; }
    };
    std::unordered_set<QString, Hash, Equal> strings_;
};

} // namespace sentrel::html
