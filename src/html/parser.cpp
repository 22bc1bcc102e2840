#include "html/parser.h"
#include "html/attributes.h"
#include "html/charclass.h"
#include "html/tagsplit.h"
#include "html/tokenizer.h"
#include "text/lines.h"

namespace sentrel {

namespace {

// Stored with a comma before, between and after the names; a name is void
// when "," + name + "," occurs in it.
constexpr QStringView VoidElements =
    u",meta,link,img,col,area,base,basefont,isindex,bgsound,command,param,input,embed,frame,br,wbr,hr,track,";

// Raw-text elements are known by the first characters of their token.
constexpr QStringView RawOpenings[] = {u"<title>", u"<plaintext>", u"<xmp>", u"<script", u"<textarea"};

bool isRawToken(QStringView token)
{
    for (QStringView opening : RawOpenings)
        if (html::hasCaselessAt(token, 0, opening))
            return true;
    return false;
}

} // namespace

bool isVoidElement(QStringView name)
{
    QString key(name.size() + 2, u',');
    for (qsizetype i = 0; i < name.size(); ++i)
        key[i + 1] = QChar(html::foldCaseless(name[i].unicode()));
    return VoidElements.contains(key);
}

TDomTreeNode *TDomTreeNode::GetNextParent(NodeKind kind)
{
    if (kind == NodeKind::Element)
        return this;
    TDomTreeNode *p = fParent;
    // An end tag closes the current element only when written in the same case.
    if (kind == NodeKind::Closing && p && p->fParent && QStringView(p->fTag) == QStringView(fTag).sliced(qMin(qsizetype(1), fTag.size())))
        return p->fParent;
    return p;
}

HtmlParseRun::HtmlParseRun(TDomTreeNode &start)
    : current_(&start), parseErr_(start.Owner() ? start.Owner()->ParseErr() : localErrors_),
      tagPattern_(html::tagPatternText(), html::tagPatternFlags()),
      attributePattern_(html::AttributePattern::Kind::Attribute)
{
}

TDomTreeNode *HtmlParseRun::append(TDomTreeNode *parent, QString tag, QString attrTxt,
                                   std::unique_ptr<AttributeDict> attrs, NodeKind kind, QString text)
{
    return parent->Child().Add(std::make_unique<TDomTreeNode>(parent->Owner(), parent, std::move(tag), std::move(attrTxt),
                                                              std::move(attrs), kind, std::move(text)));
}

void HtmlParseRun::run(QStringView html)
{
    const RegexSubject page(html);
    const QStringView text = page.view();
    html::HtmlTokenizer tokenizer(page);
    qsizetype start = 0, end = 0;
    if (!tokenizer.next(0, start, end))
        throw Error(QStringLiteral("Input text not contain HTML tags"));
    ParseToken(text.sliced(start, end - start));
    qsizetype previousEnd = end;
    while (tokenizer.next(previousEnd, start, end)) {
        ParseToken(text.sliced(start, end - start));
        // Characters that no alternative took, as at a "<" that opens no
        // token ("<>"), are dropped.
        if (start > previousEnd) {
            parseErr_.append(QString::number(gapCounter_) + QStringLiteral("- Check error found after HTML parsing"));
            ++gapCounter_;
        }
        previousEnd = end;
    }
}

void HtmlParseRun::ParseToken(QStringView token)
{
    if (token.startsWith(u"<!--")) {
        // The text after the comment stays inside its Tag.
        append(current_, trimmedView(token).toString(), QString(), nullptr, NodeKind::Declaration, QString());
        return;
    }
    if (isRawToken(token)) {
        html::RawTagParts parts = html::SplitRawTag(token, rawPattern_, parseErr_);
        auto attrs = html::ParseAttributes(parts.attrText, attributePattern_, parseErr_);
        TDomTreeNode *element = append(current_, std::move(parts.name), std::move(parts.attrText), std::move(attrs),
                                       NodeKind::Element, QString());
        if (!parts.content.isEmpty())
            append(element, QString(), QString(), nullptr, NodeKind::Plain, std::move(parts.content));
        append(element, std::move(parts.closingName), QString(), nullptr, NodeKind::Closing, QString());
        return;
    }
    html::TagParts parts = html::SplitTag(token, tagPattern_, parseErr_);
    auto attrs = html::ParseAttributes(parts.attrText, attributePattern_, parseErr_);
    const QStringView name = trimmedView(parts.name);
    const bool staysCurrent = isVoidElement(name) || parts.name.startsWith(u"<?") || parts.name.startsWith(u"<!");
    TDomTreeNode *node = append(current_, parts.name, std::move(parts.attrText), std::move(attrs), parts.kind, QString());
    if (!staysCurrent)
        current_ = node->GetNextParent(parts.kind);
    if (!parts.text.isEmpty())
        append(current_, QString(), QString(), nullptr, NodeKind::Plain, std::move(parts.text));
}

bool TDomTreeNode::RunParse(QStringView HtmlTxt)
{
    HtmlParseRun run(*this);
    run.run(HtmlTxt);
    return fOwner && fOwner->Count() > 0;
}

} // namespace sentrel
