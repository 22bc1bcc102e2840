#include "strip/gumboarena.h"
#include "strip/nestinglimit.h"
#include "strip/renderedtext.h"
#include "strip/strippers.h"
#include "text/lines.h"
#include "text/utf8.h"
#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <gumbo.h>
#include <vector>

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

// The same search in UTF-8: the needles are ASCII, so a byte match is a
// character match.
qsizetype findMarkup(QByteArrayView text, QByteArrayView needle, qsizetype from = 0)
{
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (const char *at = begin + from; at + needle.size() <= end; ++at) {
        at = static_cast<const char *>(std::memchr(at, needle.front(), std::size_t(end - at)));
        if (!at || at + needle.size() > end)
            return -1;
        qsizetype i = 1;
        while (i < needle.size() && lower(at[i]) == lower(needle[i]))
            ++i;
        if (i == needle.size())
            return at - begin;
    }
    return -1;
}

// The page as it is handed to the HTML engine: cut after its first "</html>"
// (letter case ignored), the X-UA-Compatible meta tag of one exact spelling
// deleted wherever it occurs. Gives the pieces that remain, in order; most
// pages have no such tag and stay one piece, which then reaches UTF-8
// without another copy.
template <typename View> std::vector<View> preparedPieces(View text, View htmlEndTag, View compatibilityMeta)
{
    const qsizetype htmlEnd = findMarkup(text, htmlEndTag);
    if (htmlEnd >= 0)
        text = text.first(htmlEnd + htmlEndTag.size());
    std::vector<View> pieces;
    qsizetype pos = 0;
    for (qsizetype at = findMarkup(text, compatibilityMeta); at >= 0;
         at = findMarkup(text, compatibilityMeta, pos)) {
        pieces.push_back(text.sliced(pos, at - pos));
        pos = at + compatibilityMeta.size();
    }
    pieces.push_back(text.sliced(pos));
    return pieces;
}

template <typename Text, typename View> Text joined(const std::vector<View> &pieces)
{
    Text text;
    qsizetype size = 0;
    for (View piece : pieces)
        size += piece.size();
    text.reserve(size);
    for (View piece : pieces)
        text.append(piece);
    return text;
}

QByteArray preparedPage(QStringView text)
{
    const auto pieces = preparedPieces<QStringView>(
        text, u"</html>", uR"(<meta http-equiv="X-UA-Compatible" content="IE=edge,chrome=1"/>)");
    return pieces.size() == 1 ? pieces.front().toUtf8() : joined<QString>(pieces).toUtf8();
}

QByteArray preparedPage(QByteArrayView utf8)
{
    return joined<QByteArray>(preparedPieces<QByteArrayView>(
        utf8, "</html>", R"(<meta http-equiv="X-UA-Compatible" content="IE=edge,chrome=1"/>)"));
}

QString renderedPage(QByteArray utf8)
{
    // A page nested thousands of levels deep would hold the parse for minutes.
    utf8 = limitNesting(std::move(utf8));
    GumboArena arena;
    GumboOptions options = kGumboDefaultOptions;
    arena.configure(options);
    // Every recorded parse error copies the whole stack of open elements,
    // which makes deeply nested pages quadratic in memory; the errors are not used.
    options.max_errors = 0;
    const GumboOutput *output =
        gumbo_parse_with_options(&options, utf8.constData(), std::size_t(utf8.size()));
    // No gumbo_destroy_output: it recurses once per tree level; the arena
    // frees the whole tree at once.
    QString result = renderedText(bodyOf(output));
    result.remove(QChar(0x00AD));
    return result;
}

} // namespace

QString StripWithBrowser(QStringView text)
{
    return renderedPage(preparedPage(text));
}

QString StripWithBrowserUtf8(QByteArrayView utf8)
{
    // Malformed bytes would reach the engine differently than through a
    // QString (which turns them into U+FFFD its own way): take that road.
    if (!isValidUtf8(utf8))
        return StripWithBrowser(QString::fromUtf8(utf8));
    return renderedPage(preparedPage(utf8));
}

} // namespace sentrel
