#include "checking/renderedtext.h"
#include "checking/strippers.h"
#include "text/lines.h"
#include <QByteArray>
#include <QtGlobal>
#include <gumbo.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace sentrel {

namespace {

// All of gumbo's memory for one parse. Nothing is freed before the parse tree
// is dropped as a whole: gumbo keeps almost everything it allocates until then
// anyway, its own tree destructor recurses once per tree level (and so
// overflows the stack on pages with hundreds of thousands of unclosed
// elements), and one bulk free is much cheaper than a million small ones.
class GumboArena {
public:
    GumboArena() = default;
    GumboArena(const GumboArena &) = delete;
    GumboArena &operator=(const GumboArena &) = delete;
    ~GumboArena()
    {
        for (void *block : blocks_)
            std::free(block);
    }

    void configure(GumboOptions &options)
    {
        options.allocator = [](void *self, size_t size) { return static_cast<GumboArena *>(self)->allocate(size); };
        options.deallocator = [](void *, void *) {};
        options.userdata = this;
    }

private:
    static constexpr std::size_t kAlign = alignof(std::max_align_t);
    static constexpr std::size_t kFirstChunk = std::size_t(64) << 10;
    static constexpr std::size_t kLargestChunk = std::size_t(4) << 20;

    void *allocate(std::size_t size)
    {
        size = (std::max<std::size_t>(size, 1) + kAlign - 1) & ~(kAlign - 1);
        if (size > left_) {
            // A request that would waste much of a fresh chunk gets a block of its own.
            if (size > nextChunk_ / 4)
                return newBlock(size);
            cursor_ = static_cast<char *>(newBlock(nextChunk_));
            left_ = nextChunk_;
            nextChunk_ = std::min(nextChunk_ * 2, kLargestChunk);
        }
        void *p = cursor_;
        cursor_ += size;
        left_ -= size;
        return p;
    }

    void *newBlock(std::size_t size)
    {
        blocks_.reserve(blocks_.size() + 1);
        void *block = std::malloc(size);
        // gumbo has no way to report a failed allocation.
        if (!block)
            qFatal("Out of memory while parsing a page");
        blocks_.push_back(block);
        return block;
    }

    std::vector<void *> blocks_;
    char *cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t nextChunk_ = kFirstChunk;
};

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

// The page as it is handed to the HTML engine: cut after its first "</html>"
// (letter case ignored), the X-UA-Compatible meta tag of one exact spelling
// deleted wherever it occurs.
QString preparedPage(QStringView text)
{
    const qsizetype htmlEnd = findMarkup(text, u"</html>");
    if (htmlEnd >= 0)
        text = text.first(htmlEnd + 7);
    constexpr QStringView kCompatibilityMeta =
        u"<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\"/>";
    QString prepared;
    prepared.reserve(text.size());
    qsizetype pos = 0;
    for (qsizetype at; (at = findMarkup(text, kCompatibilityMeta, pos)) >= 0;) {
        prepared.append(text.sliced(pos, at - pos));
        pos = at + kCompatibilityMeta.size();
    }
    prepared.append(text.sliced(pos));
    return prepared;
}

} // namespace

QString StripWithBrowser(QStringView text)
{
    const QByteArray utf8 = preparedPage(text).toUtf8();
    GumboArena arena;
    GumboOptions options = kGumboDefaultOptions;
    arena.configure(options);
    // Every recorded parse error copies the whole stack of open elements,
    // which makes deeply nested pages quadratic in memory; the errors are not used.
    options.max_errors = 0;
    const GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), std::size_t(utf8.size()));
    // No gumbo_destroy_output: the arena frees the whole tree at once.
    QString result = renderedText(bodyOf(output));
    result.remove(QChar(0x00AD));
    return result;
}

} // namespace sentrel
