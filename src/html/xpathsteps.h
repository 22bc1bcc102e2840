#pragma once
#include "text/regex.h"
#include <QString>
#include <QStringView>
#include <vector>

// The steps of a path expression, as the XPath evaluator reads them.
namespace sentrel {

// One parsed step.
struct TPrmRec {
    QString TagName;       // element name, "*", "text()", "comment()", "..", or "@name"
    int ind = 0;           // position asked for, from 1; 0: every position
    QString Attr;          // predicate text without brackets and leading "@"; "" for none
    bool AnyLevel = false; // search all descendants instead of the children only
};
using PPrmRec = const TPrmRec *;

// An ordered list of step records that owns them.
class TPrmRecList {
public:
    qsizetype Count() const { return qsizetype(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    PPrmRec Get(qsizetype index) const { return &items_[std::size_t(index)]; }
    PPrmRec operator[](qsizetype index) const { return Get(index); }
    TPrmRec &Last() { return items_.back(); }
    void Add(TPrmRec rec) { items_.push_back(std::move(rec)); }

private:
    std::vector<TPrmRec> items_;
};

// Reads an expression into step records: one step per "/" (text before the
// first "/" ignored); an empty step makes the next one search at any depth.
// Throws Error "XPath is not correct or empty." for an expression without
// steps and "XPath is not correct /step" for a step it cannot read.
class XPathStepReader {
public:
    XPathStepReader();
    static QString splitPatternText();
    static QString stepPatternText();

    TPrmRecList read(QStringView expression);

private:
    void ParseStep(QStringView step, TPrmRecList &steps);

    Regex split_;
    Regex step_;
    bool anyLevel_ = false;
};

} // namespace sentrel
