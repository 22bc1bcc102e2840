#include "strip/renderedtext.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <gumbo.h>
#include <string>
#include <string_view>
#include <vector>

// innerText's "rendered text collection steps" produce a list of strings and
// "required line break counts"; empty strings are dropped, counts at either
// end are dropped and each run of counts becomes max(count) line breaks.
// TextBuilder folds that list as it is produced, together with the white-space
// collapsing of CSS "white-space: normal", so the walk needs no list at all.
namespace sentrel {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool isCollapsibleSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class TextBuilder {
public:
    explicit TextBuilder(std::size_t expected) { out_.reserve(expected); }

    // A required line break count (1 around blocks, 2 around paragraphs).
    void requireBreaks(int count)
    {
        pendingBreaks_ = std::max(pendingBreaks_, count);
        endLine();
    }

    // Where a line ends without a line break of its own (the edges of a
    // table cell): white space on either side of it is trimmed.
    void endLine()
    {
        pendingSpace_ = false;
        lineStart_ = true;
    }

    // A string item of its own: "\n" for <br> and table rows, "\t" between cells.
    void separator(char c)
    {
        pendingSpace_ = false;
        beginContent();
        if (c == '\n')
            out_ += kLineBreak;
        else
            out_ += c;
        lineStart_ = true;
    }

    // Text under "white-space: normal": every run of white space becomes one
    // space, across element boundaries, and none is kept at a line's start or end.
    void collapsible(std::string_view text)
    {
        const char *p = text.data();
        const char *const end = p + text.size();
        while (p < end) {
            if (isCollapsibleSpace(*p)) {
                if (!lineStart_)
                    pendingSpace_ = true;
                ++p;
                continue;
            }
            const char *word = p;
            while (p < end && !isCollapsibleSpace(*p))
                ++p;
            beginContent();
            if (pendingSpace_) {
                out_ += ' ';
                pendingSpace_ = false;
            }
            out_.append(word, std::size_t(p - word));
            lineStart_ = false;
        }
    }

    // Text whose white space is kept as written (<pre> and its kin).
    void preserved(std::string_view text)
    {
        if (text.empty())
            return;
        beginContent();
        if (pendingSpace_) {
            out_ += ' ';
            pendingSpace_ = false;
        }
        std::size_t from = 0;
        for (std::size_t at; (at = text.find_first_of("\r\n", from)) != std::string_view::npos;) {
            out_.append(text.substr(from, at - from));
            out_ += kLineBreak;
            from = at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
        }
        out_.append(text.substr(from));
        lineStart_ = text.back() == '\n' || text.back() == '\r';
    }

    // Trailing counts and white space are dropped by simply not writing them.
    std::string take() { return std::move(out_); }

private:
    // Writes the line breaks of the run of counts before this item; counts
    // before the first item are dropped.
    void beginContent()
    {
        if (pendingBreaks_ > 0 && !out_.empty()) {
            for (int i = 0; i < pendingBreaks_; ++i)
                out_ += kLineBreak;
        }
        pendingBreaks_ = 0;
    }

    std::string out_;
    int pendingBreaks_ = 0;
    bool pendingSpace_ = false;
    bool lineStart_ = true;
};

// What an element contributes under the default style sheet.
enum class Role : unsigned char {
    Inline,    // its content only
    Block,     // a required line break count of 1 before and after
    Paragraph, // 2 before and after
    Table,     // a block that knows its last row
    Row,       // "\n" after it unless it is the table's last row
    Cell,      // "\t" after it unless it is its row's last cell
    Select,    // inline; only its option and optgroup children are rendered
    OptGroup,  // block; only its option children are rendered
    Details,   // block; closed, only its first summary child is rendered
    Svg,       // graphics: only the content of <text> and <foreignObject> is text
    LineBreak, // <br>: "\n"
    Replaced,  // an image, a control or an embedded document: no text
    Hidden,    // display: none
};

struct TagRule {
    Role role = Role::Inline;
    bool keepsWhiteSpace = false;
};

using TagRules = std::array<TagRule, GUMBO_TAG_LAST + 1>;

constexpr TagRules makeTagRules()
{
    TagRules rules{};
    const auto set = [&rules](std::initializer_list<GumboTag> tags, Role role, bool keep = false) {
        for (const GumboTag t : tags)
            rules[t] = {role, keep};
    };
    set({GUMBO_TAG_HEAD,     GUMBO_TAG_TITLE,    GUMBO_TAG_BASE,     GUMBO_TAG_LINK,     GUMBO_TAG_META,
         GUMBO_TAG_STYLE,    GUMBO_TAG_SCRIPT,   GUMBO_TAG_NOSCRIPT, GUMBO_TAG_TEMPLATE, GUMBO_TAG_AREA,
         GUMBO_TAG_BASEFONT, GUMBO_TAG_DATALIST, GUMBO_TAG_NOEMBED,  GUMBO_TAG_NOFRAMES, GUMBO_TAG_PARAM,
         GUMBO_TAG_RP,       GUMBO_TAG_SOURCE,   GUMBO_TAG_TRACK,    GUMBO_TAG_COLGROUP, GUMBO_TAG_COL},
        Role::Hidden);
    set({GUMBO_TAG_IMG, GUMBO_TAG_IMAGE, GUMBO_TAG_IFRAME, GUMBO_TAG_EMBED, GUMBO_TAG_OBJECT, GUMBO_TAG_VIDEO,
         GUMBO_TAG_AUDIO, GUMBO_TAG_CANVAS, GUMBO_TAG_INPUT, GUMBO_TAG_KEYGEN, GUMBO_TAG_METER,
         GUMBO_TAG_PROGRESS, GUMBO_TAG_WBR, GUMBO_TAG_FRAME, GUMBO_TAG_FRAMESET},
        Role::Replaced);
    set({GUMBO_TAG_HTML,       GUMBO_TAG_BODY,    GUMBO_TAG_ARTICLE,    GUMBO_TAG_SECTION, GUMBO_TAG_NAV,
         GUMBO_TAG_ASIDE,      GUMBO_TAG_H1,      GUMBO_TAG_H2,         GUMBO_TAG_H3,      GUMBO_TAG_H4,
         GUMBO_TAG_H5,         GUMBO_TAG_H6,      GUMBO_TAG_HGROUP,     GUMBO_TAG_HEADER,  GUMBO_TAG_FOOTER,
         GUMBO_TAG_ADDRESS,    GUMBO_TAG_HR,      GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_OL,      GUMBO_TAG_UL,
         GUMBO_TAG_LI,         GUMBO_TAG_DL,      GUMBO_TAG_DT,         GUMBO_TAG_DD,      GUMBO_TAG_FIGURE,
         GUMBO_TAG_FIGCAPTION, GUMBO_TAG_MAIN,    GUMBO_TAG_DIV,        GUMBO_TAG_FORM,    GUMBO_TAG_FIELDSET,
         GUMBO_TAG_LEGEND,     GUMBO_TAG_SUMMARY, GUMBO_TAG_MENU,       GUMBO_TAG_DIR,     GUMBO_TAG_CENTER,
         GUMBO_TAG_OPTION,     GUMBO_TAG_CAPTION},
        Role::Block);
    set({GUMBO_TAG_PRE, GUMBO_TAG_LISTING, GUMBO_TAG_XMP, GUMBO_TAG_PLAINTEXT}, Role::Block, true);
    set({GUMBO_TAG_TEXTAREA}, Role::Inline, true);
    set({GUMBO_TAG_P}, Role::Paragraph);
    set({GUMBO_TAG_TABLE}, Role::Table);
    set({GUMBO_TAG_TR}, Role::Row);
    set({GUMBO_TAG_TD, GUMBO_TAG_TH}, Role::Cell);
    set({GUMBO_TAG_SELECT}, Role::Select);
    set({GUMBO_TAG_OPTGROUP}, Role::OptGroup);
    set({GUMBO_TAG_DETAILS}, Role::Details);
    set({GUMBO_TAG_BR}, Role::LineBreak);
    return rules;
}

constexpr TagRules kTagRules = makeTagRules();

bool equalsAsciiCaseless(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = char(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// The tag name as written, for elements gumbo has no constant for.
std::string_view tagName(const GumboElement &element)
{
    GumboStringPiece piece = element.original_tag;
    if (piece.data == nullptr || piece.length == 0)
        return {};
    gumbo_tag_from_original_text(&piece);
    return {piece.data, piece.length};
}

const char *attribute(const GumboElement &element, const char *name)
{
    const GumboAttribute *a = gumbo_get_attribute(&element.attributes, name);
    return a ? a->value : nullptr;
}

// An inline style whose last "display" declaration is "none".
bool styleHides(const char *style)
{
    bool hidden = false;
    std::string_view rest(style);
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        const std::string_view declaration = rest.substr(0, semicolon);
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos ||
            !equalsAsciiCaseless(trimmed(declaration.substr(0, colon)), "display"))
            continue;
        std::string_view value = trimmed(declaration.substr(colon + 1));
        if (const std::size_t bang = value.find('!'); bang != std::string_view::npos)
            value = trimmed(value.substr(0, bang));
        hidden = equalsAsciiCaseless(value, "none");
    }
    return hidden;
}

// Hidden whatever its tag: the hidden attribute, an inline display:none, a
// hidden input.
bool hiddenByAttributes(const GumboElement &element)
{
    if (element.attributes.length == 0)
        return false;
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML) {
        if (attribute(element, "hidden"))
            return true;
        if (element.tag == GUMBO_TAG_INPUT) {
            const char *type = attribute(element, "type");
            if (type && equalsAsciiCaseless(trimmed(type), "hidden"))
                return true;
        }
    }
    const char *style = attribute(element, "style");
    return style && styleHides(style);
}

bool isElement(const GumboNode *node)
{
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

bool isHtml(const GumboNode *node, GumboTag tag)
{
    return isElement(node) && node->v.element.tag == tag &&
           node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

bool rendered(const GumboNode *node)
{
    return !hiddenByAttributes(node->v.element);
}

const GumboNode *child(const GumboVector &children, unsigned i)
{
    return static_cast<const GumboNode *>(children.data[i]);
}

// The last rendered child that is one of `tags`, or null.
const GumboNode *lastRenderedChild(const GumboNode *parent, GumboTag a, GumboTag b = GUMBO_TAG_LAST)
{
    if (!parent)
        return nullptr;
    const GumboVector &children = parent->v.element.children;
    for (unsigned i = children.length; i-- > 0;) {
        const GumboNode *c = child(children, i);
        if ((isHtml(c, a) || (b != GUMBO_TAG_LAST && isHtml(c, b))) && rendered(c))
            return c;
    }
    return nullptr;
}

// The table's last row in tree order, row groups included.
const GumboNode *lastRowOf(const GumboNode *table)
{
    const GumboVector &children = table->v.element.children;
    for (unsigned i = children.length; i-- > 0;) {
        const GumboNode *c = child(children, i);
        if (!isElement(c) || c->v.element.tag_namespace != GUMBO_NAMESPACE_HTML || !rendered(c))
            continue;
        const GumboTag tag = c->v.element.tag;
        if (tag == GUMBO_TAG_TR)
            return c;
        if (tag == GUMBO_TAG_THEAD || tag == GUMBO_TAG_TBODY || tag == GUMBO_TAG_TFOOT) {
            if (const GumboNode *row = lastRenderedChild(c, GUMBO_TAG_TR))
                return row;
        }
    }
    return nullptr;
}

// Which children of an element are rendered at all.
enum class Filter : unsigned char {
    All,
    Options,     // <select>: option and optgroup elements
    OptionsOnly, // <optgroup>: option elements
    OneChild,    // closed <details>: its summary only
    SvgText,     // SVG graphics: elements only, no text of their own
};

struct Frame {
    const GumboNode *node;
    unsigned next;
    Role role;
    Filter filter;
    bool keepsWhiteSpace;
    const GumboNode *last; // Table: its last row; Row: its last cell; Details: its summary
};

class Walk {
public:
    explicit Walk(std::size_t expected) : out_(expected) {}

    std::string run(const GumboNode *element)
    {
        stack_.push_back({element, 0, Role::Inline, Filter::All, false, nullptr});
        while (!stack_.empty()) {
            Frame &top = stack_.back();
            const GumboVector &children = top.node->v.element.children;
            if (top.next >= children.length) {
                leave(top);
                stack_.pop_back();
                continue;
            }
            const GumboNode *node = child(children, top.next++);
            visit(node, top); // may push: `top` is not used afterwards
        }
        return out_.take();
    }

private:
    void visit(const GumboNode *node, const Frame &parent)
    {
        switch (node->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            if (parent.filter != Filter::All)
                return;
            if (parent.keepsWhiteSpace)
                out_.preserved(node->v.text.text);
            else
                out_.collapsible(node->v.text.text);
            return;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            if (admitted(node, parent))
                enter(node, parent);
            return;
        default:
            return;
        }
    }

    static bool admitted(const GumboNode *node, const Frame &parent)
    {
        switch (parent.filter) {
        case Filter::All:
        case Filter::SvgText:
            return true;
        case Filter::Options:
            return isHtml(node, GUMBO_TAG_OPTION) || isHtml(node, GUMBO_TAG_OPTGROUP);
        case Filter::OptionsOnly:
            return isHtml(node, GUMBO_TAG_OPTION);
        case Filter::OneChild:
            return node == parent.last;
        }
        return false;
    }

    Role roleOf(const GumboElement &element, const Frame &parent) const
    {
        if (hiddenByAttributes(element))
            return Role::Hidden;
        switch (element.tag_namespace) {
        case GUMBO_NAMESPACE_HTML:
            if (element.tag == GUMBO_TAG_UNKNOWN) {
                const std::string_view name = tagName(element);
                if (equalsAsciiCaseless(name, "dialog"))
                    return attribute(element, "open") ? Role::Block : Role::Hidden;
                if (equalsAsciiCaseless(name, "search"))
                    return Role::Block;
                return Role::Inline;
            }
            return kTagRules[element.tag].role;
        case GUMBO_NAMESPACE_SVG: {
            if (element.tag == GUMBO_TAG_SVG)
                return Role::Svg;
            if (element.tag == GUMBO_TAG_FOREIGNOBJECT)
                return Role::Block;
            if (element.tag == GUMBO_TAG_TITLE || element.tag == GUMBO_TAG_DESC ||
                element.tag == GUMBO_TAG_STYLE || element.tag == GUMBO_TAG_SCRIPT)
                return Role::Hidden;
            const std::string_view name = tagName(element);
            if (equalsAsciiCaseless(name, "defs") || equalsAsciiCaseless(name, "symbol") ||
                equalsAsciiCaseless(name, "metadata"))
                return Role::Hidden;
            if (equalsAsciiCaseless(name, "text"))
                return Role::Inline; // its text, and that of its tspans, is shown
            return parent.filter == Filter::SvgText ? Role::Svg : Role::Inline;
        }
        case GUMBO_NAMESPACE_MATHML:
            if (element.tag == GUMBO_TAG_ANNOTATION_XML ||
                equalsAsciiCaseless(tagName(element), "annotation"))
                return Role::Hidden;
            return Role::Inline;
        }
        return Role::Inline;
    }

    void enter(const GumboNode *node, const Frame &parent)
    {
        const GumboElement &element = node->v.element;
        const Role role = roleOf(element, parent);
        const bool keeps = parent.keepsWhiteSpace || (element.tag_namespace == GUMBO_NAMESPACE_HTML &&
                                                      kTagRules[element.tag].keepsWhiteSpace);
        Filter filter = Filter::All;
        const GumboNode *last = nullptr;
        switch (role) {
        case Role::Hidden:
        case Role::Replaced:
            return;
        case Role::LineBreak:
            out_.separator('\n');
            return;
        case Role::Inline:
            break;
        case Role::Block:
            out_.requireBreaks(1);
            break;
        case Role::Paragraph:
            out_.requireBreaks(2);
            break;
        case Role::Table:
            out_.requireBreaks(1);
            last = lastRowOf(node);
            break;
        case Role::Row:
            out_.endLine();
            last = lastRenderedChild(node, GUMBO_TAG_TD, GUMBO_TAG_TH);
            break;
        case Role::Cell:
            out_.endLine();
            break;
        case Role::Select:
            filter = Filter::Options;
            break;
        case Role::OptGroup:
            out_.requireBreaks(1);
            filter = Filter::OptionsOnly;
            break;
        case Role::Details:
            out_.requireBreaks(1);
            if (!attribute(element, "open")) {
                filter = Filter::OneChild;
                last = firstSummary(node);
            }
            break;
        case Role::Svg:
            filter = Filter::SvgText;
            break;
        }
        stack_.push_back({node, 0, role, filter, keeps, last});
    }

    void leave(const Frame &frame)
    {
        switch (frame.role) {
        case Role::Block:
        case Role::Table:
        case Role::OptGroup:
        case Role::Details:
            out_.requireBreaks(1);
            break;
        case Role::Paragraph:
            out_.requireBreaks(2);
            break;
        case Role::Row:
            if (frame.node == enclosingLast(Role::Table))
                out_.endLine();
            else
                out_.separator('\n');
            break;
        case Role::Cell:
            if (frame.node == enclosingLast(Role::Row))
                out_.endLine();
            else
                out_.separator('\t');
            break;
        default:
            break;
        }
    }

    // The `last` of the nearest ancestor with `role`, looked up while the
    // frame being left is still on top of the stack. A cell sits in its row,
    // a row in a row group in its table.
    const GumboNode *enclosingLast(Role role) const
    {
        std::size_t i = stack_.size() - 1;
        for (int depth = 0; i > 0 && depth < 2; ++depth) {
            const Frame &f = stack_[--i];
            if (f.role == role)
                return f.last;
        }
        return stack_.back().node; // no such ancestor: nothing follows it
    }

    static const GumboNode *firstSummary(const GumboNode *details)
    {
        const GumboVector &children = details->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            if (isHtml(child(children, i), GUMBO_TAG_SUMMARY))
                return child(children, i);
        }
        return nullptr;
    }

    TextBuilder out_;
    std::vector<Frame> stack_;
};

} // namespace

QString renderedText(const GumboInternalNode *element)
{
    if (!element || !isElement(element))
        return {};
    const std::string text = Walk(1024).run(element);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace sentrel
