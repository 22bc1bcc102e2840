#include "html/tagsplit.h"
#include "html/errorkind.h"
#include "text/lines.h"

namespace sentrel::html {

namespace {

QString messageOf(const std::exception &e)
{
    const auto *error = dynamic_cast<const Error *>(&e);
    return error ? error->message() : QString::fromUtf8(e.what());
}

NodeKind kindOf(QStringView trimmedToken)
{
    if (trimmedToken.startsWith(u"</"))
        return NodeKind::Closing;
    if (trimmedToken.endsWith(u"/>"))
        return NodeKind::SelfClosed;
    if (trimmedToken.startsWith(u"<!") || trimmedToken.startsWith(u"<?"))
        return NodeKind::Declaration;
    return NodeKind::Element;
}

} // namespace

QString tagPatternText()
{
    return QStringLiteral("<([/A-Z][:A-Z0-9]*)\\b([^>]*)>([^<]*)");
}

uint32_t tagPatternFlags()
{
    return Regex::Caseless | Regex::Multiline | Regex::DotAll;
}

TagParts SplitTag(QStringView token, const Regex &tagPattern, QStringList &parseErr)
{
    TagParts parts;
    // The trimmed token holds the text after the tag too, so a self-closing
    // tag followed by text is of the start-tag kind.
    parts.kind = kindOf(trimmedView(token));
    try {
        const RegexSubject subject(token);
        RegexMatch m;
        if (!tagPattern.findNext(subject, 0, m)) {
            // A document type, a processing instruction, "< p>": the token is the name.
            parts.name = trimmedView(token).toString();
            return parts;
        }
        if (m.start() != 0 || m.end() != token.size())
            parseErr.append(QStringLiteral("Check error Tags parsing - Sourse string: ") + token.toString());
        parts.name = trimmedView(m.captured(1)).toString();
        const QStringView attrs = trimmedView(m.captured(2));
        if (!attrs.isEmpty())
            parts.attrText = (attrs.endsWith(u'/') ? attrs.chopped(1) : attrs).toString();
        parts.text = trimmedView(m.captured(3)).toString();
    } catch (const std::exception &e) {
        parseErr.append(QStringLiteral("Tags - ") + errorKindName(e) + QStringLiteral(" : ") + messageOf(e) +
                        QStringLiteral("Sourse string: ") + token.toString());
    }
    return parts;
}

RawTagParts SplitRawTag(QStringView token, const RawTagMatcher &rawPattern, QStringList &parseErr)
{
    RawTagParts parts;
    try {
        const RegexSubject subject(token);
        RegexMatch m;
        if (!rawPattern.find(subject, m)) {
            // No closing tag of the same name: the element is the token itself.
            parts.name = token.toString();
            return parts;
        }
        // Text after the closing tag is not kept.
        if (m.captured() != trimmedView(token))
            parseErr.append(QStringLiteral("Check error Exception Tags parsing - Sourse string: ") +
                            token.toString());
        parts.name = trimmedView(m.captured(1)).toString();
        parts.attrText = trimmedView(m.captured(2)).toString();
        parts.content = trimmedView(m.captured(3)).toString();
        parts.closingName = trimmedView(m.captured(4)).toString();
    } catch (const std::exception &e) {
        parseErr.append(QStringLiteral("Exception Tags - ") + errorKindName(e) + QStringLiteral(" : ") +
                        messageOf(e) + QStringLiteral("Sourse string: ") + token.toString());
    }
    return parts;
}

} // namespace sentrel::html
