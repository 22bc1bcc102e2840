#include "checking/gumboarena.h"
#include "checking/nestinglimit.h"
#include "checking/renderedtext.h"
#include "checking/strippers.h"
#include "text/lines.h"
#include <QByteArray>
#include <QtGlobal>
#include <gumbo.h>
#include <algorithm>

namespace sentrel {

namespace {

const GumboNode *bodyOf(const GumboOutput *output)
{
    if (!output || !output->root || output->root->type != GUMBO_NODE_ELEMENT)
        return nullptr;
    const GumboVector &children = output->root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto *node = static_cast<const GumboNode *>(children.data[i]);
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_BODY)
            return node;
    }
    return nullptr; // a frameset document has no body
}

// Position of `needle` in `text` from `from` on, A-Z compared caselessly. The
// needles here begin with "<", which the vectorised search for one character
// finds quickly.
qsizetype findMarkup(QStringView text, QStringView needle, qsizetype from = 0)
{
    const QChar first = needle.front();
    for (qsizetype at = text.indexOf(first, from); at >= 0 && at + needle.size() <= text.size();
         at = text.indexOf(first, at + 1)) {
        if (equalsAsciiCaseless(text.sliced(at, needle.size()), needle))
            return at;
    }
    return -1;
}

// The page as it is handed to the HTML engine, in UTF-8: cut after its first
// "</html>" (letter case ignored), the X-UA-Compatible meta tag of one exact
// spelling deleted wherever it occurs. Most pages have no such tag and go
// straight from the caller's text to UTF-8 without another copy.
QByteArray preparedPage(QStringView text)
{
    const qsizetype htmlEnd = findMarkup(text, u"</html>");
    if (htmlEnd >= 0)
        text = text.first(htmlEnd + 7);
    constexpr QStringView kCompatibilityMeta =
        u"<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\"/>";
    qsizetype at = findMarkup(text, kCompatibilityMeta);
    if (at < 0)
        return text.toUtf8();
    QString prepared;
    prepared.reserve(text.size());
    qsizetype pos = 0;
    for (; at >= 0; at = findMarkup(text, kCompatibilityMeta, pos)) {
        prepared.append(text.sliced(pos, at - pos));
        pos = at + kCompatibilityMeta.size();
    }
    prepared.append(text.sliced(pos));
    return prepared.toUtf8();
}

} // namespace

QString StripWithBrowser(QStringView text)
{
    // A page nested thousands of levels deep would hold the parse for minutes.
    const QByteArray utf8 = limitNesting(preparedPage(text));
    GumboArena arena;
    GumboOptions options = kGumboDefaultOptions;
    arena.configure(options);
    // Every recorded parse error copies the whole stack of open elements,
    // which makes deeply nested pages quadratic in memory; the errors are not used.
    options.max_errors = 0;
    const GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), std::size_t(utf8.size()));
    // No gumbo_destroy_output: it recurses once per tree level; the arena
    // frees the whole tree at once.
    QString result = renderedText(bodyOf(output));
    result.remove(QChar(0x00AD));
    return result;
}

} // namespace sentrel
