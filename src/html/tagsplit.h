#pragma once
#include "html/domtree.h"
#include "html/rawtag.h"
#include "text/regex.h"
#include <QStringList>

// Splitting one token into the parts its nodes are made of.
namespace sentrel::html {

struct TagParts {
    QString name;     // element name as written; "/name" for an end tag; the token when unreadable
    QString attrText; // attribute text, trimmed, without a closing "/"
    QString text;     // the text after the tag, trimmed
    NodeKind kind = NodeKind::Element;
};

struct RawTagParts {
    QString name; // the whole token when the raw-text pattern does not match
    QString attrText;
    QString content;
    QString closingName; // "/script"; empty without a match
};

// The tag pattern "<([/A-Z][:A-Z0-9]*)\b([^>]*)>([^<]*)" with its options.
QString tagPatternText();
uint32_t tagPatternFlags();

// An ordinary token: start tag, end tag, declaration.
TagParts SplitTag(QStringView token, const Regex &tagPattern, QStringList &parseErr);
// A token that begins like a raw-text element.
RawTagParts SplitRawTag(QStringView token, const RawTagMatcher &rawPattern, QStringList &parseErr);

} // namespace sentrel::html
