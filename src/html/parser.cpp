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
    // Without a comma in the name the rule comes to "one of the names".
    if (!name.contains(u',')) {
        if (name.isEmpty() || name.size() > 8)
            return false;
        for (qsizetype start = 1; start < VoidElements.size();) {
            const qsizetype end = VoidElements.indexOf(u',', start);
            if (end - start == name.size() &&
                html::hasCaselessAt(name, 0, VoidElements.sliced(start, end - start)))
                return true;
            start = end + 1;
        }
        return false;
    }
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
    if (kind == NodeKind::Closing && p && p->fParent &&
        QStringView(p->fTag) == QStringView(fTag).sliced(qMin(qsizetype(1), fTag.size())))
        return p->fParent;
    return p;
}

HtmlParseRun::HtmlParseRun(TDomTreeNode &start)
    : current_(&start), parseErr_(start.Owner() ? start.Owner()->ParseErr() : localErrors_),
      memory_(start.Owner() ? start.Owner()->Arena() : std::pmr::get_default_resource()),
      tagPattern_(html::tagPatternText(), html::tagPatternFlags()),
      attributePattern_(html::AttributePattern::Kind::Attribute)
{
}

TDomTreeNode *HtmlParseRun::append(TDomTreeNode *parent, QString tag, QString attrTxt,
                                   std::optional<AttributeDict> attrs, NodeKind kind, QString text)
{
    return parent->Child().Add(TDomTreeNode::Create(parent->Owner(), parent, std::move(tag),
                                                    std::move(attrTxt), std::move(attrs), kind,
                                                    std::move(text)));
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
            parseErr_.append(QString::number(gapCounter_) +
                             QStringLiteral("- Check error found after HTML parsing"));
            ++gapCounter_;
        }
        previousEnd = end;
    }
}

void HtmlParseRun::ParseToken(QStringView token)
{
    if (token.startsWith(u"<!--")) {
        // The text after the comment stays inside its Tag.
        append(current_, trimmedView(token).toString(), QString(), std::nullopt, NodeKind::Declaration,
               QString());
        return;
    }
    if (isRawToken(token)) {
        html::RawTagParts parts = html::SplitRawTag(token, rawPattern_, parseErr_);
        auto attrs = html::ParseAttributes(parts.attrText, attributePattern_, parseErr_, &pool_, memory_);
        TDomTreeNode *element = append(current_, pool_.intern(parts.name), pool_.intern(parts.attrText),
                                       std::move(attrs), NodeKind::Element, QString());
        if (!parts.content.isEmpty())
            append(element, QString(), QString(), std::nullopt, NodeKind::Plain, std::move(parts.content));
        append(element, pool_.intern(parts.closingName), QString(), std::nullopt, NodeKind::Closing,
               QString());
        return;
    }
    html::TagParts parts = html::SplitTag(token, tagPattern_, parseErr_);
    auto attrs = html::ParseAttributes(parts.attrText, attributePattern_, parseErr_, &pool_, memory_);
    const QStringView name = trimmedView(parts.name);
    const bool staysCurrent =
        isVoidElement(name) || parts.name.startsWith(u"<?") || parts.name.startsWith(u"<!");
    TDomTreeNode *node = append(current_, pool_.intern(parts.name), pool_.intern(parts.attrText),
                                std::move(attrs), parts.kind, QString());
    if (!staysCurrent)
        current_ = node->GetNextParent(parts.kind);
    if (!parts.text.isEmpty())
        append(current_, QString(), QString(), std::nullopt, NodeKind::Plain, std::move(parts.text));
}

bool TDomTreeNode::RunParse(QStringView HtmlTxt)
{
    HtmlParseRun run(*this);
    run.run(HtmlTxt);
    return fOwner && fOwner->Count() > 0;
}

} // namespace sentrel
