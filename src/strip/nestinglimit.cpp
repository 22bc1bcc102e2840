#include "strip/nestinglimit.h"
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace sentrel {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isTagSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements without content: never on the stack.
bool isVoid(std::string_view name)
{
    return isOneOf(name, {"area",     "base", "basefont", "bgsound", "br",    "col",    "embed",
                          "frame",    "hr",   "image",    "img",     "input", "keygen", "link",
                          "menuitem", "meta", "param",    "source",  "track", "wbr"});
}

// Elements whose content is text up to their own end tag.
bool isRawText(std::string_view name)
{
    return isOneOf(name, {"script", "style", "xmp", "iframe", "noembed", "noframes", "noscript", "textarea",
                          "title", "plaintext"});
}

// Elements that a start tag of the same group closes when it is the current
// element (<li><li>, <dt><dd>, <option><option>): 0 for none.
int siblingGroup(std::string_view name)
{
    if (name == "li")
        return 1;
    if (name == "dt" || name == "dd")
        return 2;
    if (name == "option" || name == "optgroup")
        return 3;
    if (name == "rb" || name == "rt" || name == "rtc" || name == "rp")
        return 4;
    return 0;
}

// The parts of a table that a later part of the same or a higher rank closes
// (<td><td>, <td><tr>, <tr><tbody>): 0 for none.
int tableRank(std::string_view name)
{
    if (name == "td" || name == "th")
        return 1;
    if (name == "tr")
        return 2;
    if (name == "thead" || name == "tbody" || name == "tfoot")
        return 3;
    return 0;
}

// Start tags that close an open <p> that is the current element.
bool closesParagraph(std::string_view name)
{
    return isOneOf(name,
                   {"address", "article", "aside",    "blockquote", "center", "details", "dialog", "dir",
                    "div",     "dl",      "fieldset", "figcaption", "figure", "footer",  "form",   "h1",
                    "h2",      "h3",      "h4",       "h5",         "h6",     "header",  "hgroup", "hr",
                    "li",      "listing", "main",     "menu",       "nav",    "ol",      "p",      "pre",
                    "search",  "section", "summary",  "table",      "ul",     "xmp",     "dd",     "dt"});
}

// Whether a start tag of `name` ends the current element `top` first.
bool closesCurrent(std::string_view name, std::string_view top)
{
    if (top == "p")
        return closesParagraph(name);
    const int group = siblingGroup(top);
    if (group != 0)
        return group == siblingGroup(name);
    const int rank = tableRank(top);
    return rank != 0 && tableRank(name) >= rank;
}

// Whether the copied text ends in "<", "</", "<!", "<?" or in a character
// reference without its ";": text appended directly could complete it.
bool endsInOpening(const QByteArray &out)
{
    if (out.isEmpty())
        return false;
    const char last = out.back();
    if (last == '<' || last == '&')
        return true;
    if ((last == '/' || last == '!' || last == '?') && out.size() >= 2 && out[out.size() - 2] == '<')
        return true;
    // "&name" or "&#digits": the longest entity name has 31 characters.
    for (qsizetype i = out.size() - 1, n = 0; i >= 0 && n <= 32; --i, ++n) {
        const char c = out[i];
        if (c == '&')
            return true;
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '#')
            return false;
    }
    return false;
}

struct Open {
    std::string_view name;
    bool dropped; // beyond the limit: its start tag was not copied
    bool foreign; // an SVG or MathML element the parser sees
};

// One pass over the tags. With `out` null it only measures; otherwise it
// copies the page without the tags beyond the limit.
class NestingScan {
public:
    NestingScan(std::string_view page, int maxDepth, QByteArray *out)
        : page_(page), maxDepth_(maxDepth), out_(out)
    {
    }

    // The deepest stack seen (measuring stops early once it passes the limit).
    int run()
    {
        std::size_t copied = 0;
        std::size_t at = 0;
        while ((at = page_.find('<', at)) != std::string_view::npos) {
            const std::size_t tagStart = at;
            bool drop = false;
            at = tag(at, drop);
            if (drop && out_) {
                out_->append(page_.data() + copied, qsizetype(tagStart - copied));
                copied = at;
                // Text on both sides would join into something new ("<" and
                // "p>" into a tag, "&am" and "p;" into a reference); an empty
                // comment keeps them apart and renders as nothing.
                if (at < page_.size() && page_[at] != '<' && endsInOpening(*out_))
                    out_->append("<!---->");
            }
            if (!out_ && deepest_ > maxDepth_)
                break;
        }
        if (out_)
            out_->append(page_.data() + copied, qsizetype(page_.size() - copied));
        return deepest_;
    }

private:
    // Reads the construct at `at` ("<" found); returns where scanning goes on.
    std::size_t tag(std::size_t at, bool &drop)
    {
        const std::size_t n = page_.size();
        if (page_.substr(at, 4) == "<!--") {
            const std::size_t end = page_.find("-->", at + 4);
            return end == std::string_view::npos ? n : end + 3;
        }
        if (at + 1 >= n)
            return n;
        const char next = page_[at + 1];
        if (next == '!' || next == '?') {
            const std::size_t end = page_.find('>', at + 2);
            return end == std::string_view::npos ? n : end + 1;
        }
        const bool closing = next == '/';
        std::size_t p = at + (closing ? 2 : 1);
        if (p >= n || !isAsciiLetter(page_[p]))
            return at + 1; // a "<" that opens no tag is text
        const std::size_t nameStart = p;
        while (p < n && !isTagSpace(page_[p]) && page_[p] != '/' && page_[p] != '>')
            ++p;
        std::string_view name = lowered(page_.substr(nameStart, p - nameStart));
        bool selfClosing = false;
        p = tagEnd(p, selfClosing);
        if (closing)
            drop = endTag(name);
        else
            p = startTag(name, selfClosing, p, drop);
        return p;
    }

    // Past the ">" of a tag whose name ends at `p`; quoted attribute values may hold ">".
    std::size_t tagEnd(std::size_t p, bool &selfClosing)
    {
        const std::size_t n = page_.size();
        while (p < n) {
            const char c = page_[p];
            if (c == '>') {
                selfClosing = page_[p - 1] == '/';
                return p + 1;
            }
            if (c == '=') {
                ++p;
                while (p < n && isTagSpace(page_[p]))
                    ++p;
                if (p < n && (page_[p] == '"' || page_[p] == '\'')) {
                    const std::size_t close = page_.find(page_[p], p + 1);
                    if (close == std::string_view::npos)
                        return n;
                    p = close + 1;
                }
                continue;
            }
            ++p;
        }
        return n;
    }

    std::size_t startTag(std::string_view name, bool selfClosing, std::size_t p, bool &drop)
    {
        bool foreign = false;
        if (inForeignContent()) {
            if (breaksOutOfForeignContent(name)) {
                // Back to the nearest HTML element or element that holds HTML.
                while (inForeignContent())
                    pop();
            } else {
                // <font> breaks out only with some attributes: read what
                // follows it as HTML either way, which may only overcount.
                foreign = name != "font";
            }
        } else if (name == "svg" || name == "math") {
            foreign = true;
        }
        if (foreign) {
            if (selfClosing) // honoured for SVG and MathML elements only
                return p;
        } else {
            if (isRawText(name))
                return name == "plaintext" ? page_.size() : skipRawText(name, p);
            if (isVoid(name))
                return p;
            while (!stack_.empty() && closesCurrent(name, stack_.back().name))
                pop();
        }
        const bool beyond = int(stack_.size()) >= maxDepth_;
        stack_.push_back({name, beyond, foreign});
        ++counts_[name];
        deepest_ = std::max(deepest_, int(stack_.size()));
        drop = beyond;
        return p;
    }

    // Start tags go by the rules of SVG and MathML (self-closing tags
    // honoured, no raw text) when the current element is one of theirs and
    // not one that holds HTML again. Counting a doubtful place as HTML only
    // ever overestimates the depth.
    bool inForeignContent() const
    {
        // The parser sees none of the dropped elements, which are the ones
        // from the limit up: its current element is the last one below.
        const std::size_t kept = std::min(stack_.size(), std::size_t(maxDepth_));
        if (kept == 0 || !stack_[kept - 1].foreign)
            return false;
        return !isOneOf(stack_[kept - 1].name, {"foreignobject", "desc", "title", "mi", "mo", "mn", "ms",
                                                "mtext", "annotation-xml"});
    }

    // HTML start tags that end SVG or MathML content wherever they appear.
    static bool breaksOutOfForeignContent(std::string_view name)
    {
        return isOneOf(name, {"b",       "big",   "blockquote", "body",   "br",     "center", "code", "dd",
                              "div",     "dl",    "dt",         "em",     "embed",  "h1",     "h2",   "h3",
                              "h4",      "h5",    "h6",         "head",   "hr",     "i",      "img",  "li",
                              "listing", "menu",  "meta",       "nobr",   "ol",     "p",      "pre",  "ruby",
                              "s",       "small", "span",       "strong", "strike", "sub",    "sup",  "table",
                              "tt",      "u",     "ul",         "var"});
    }

    // An end tag closes the nearest open element of its name and every one
    // above it; one that matches no open element is ignored. Dropped when
    // the element it closes was dropped.
    bool endTag(std::string_view name)
    {
        const auto found = counts_.find(name);
        if (found == counts_.end() || found->second == 0)
            return false;
        while (!stack_.empty()) {
            const Open top = stack_.back();
            pop();
            if (top.name == name)
                return top.dropped;
        }
        return false;
    }

    void pop()
    {
        --counts_[stack_.back().name];
        stack_.pop_back();
    }

    // Past the end tag of a raw-text element (the page's end when it has none).
    std::size_t skipRawText(std::string_view name, std::size_t p)
    {
        const std::size_t n = page_.size();
        while ((p = page_.find("</", p)) != std::string_view::npos) {
            if (p + 2 + name.size() <= n && lowered(page_.substr(p + 2, name.size())) == name)
                return p + 2;
            p += 2;
        }
        return n;
    }

    // Tag names compared without letter case: a lowered copy, kept alive as
    // long as the scan (few distinct names, so the copies are shared).
    std::string_view lowered(std::string_view name)
    {
        std::string key(name);
        std::transform(key.begin(), key.end(), key.begin(), lower);
        const auto [it, inserted] = names_.insert(std::move(key));
        (void)inserted;
        return *it;
    }

    std::string_view page_;
    int maxDepth_;
    QByteArray *out_;
    std::vector<Open> stack_;
    std::unordered_map<std::string_view, int> counts_;
    std::unordered_set<std::string> names_;
    int deepest_ = 0;
};

} // namespace

QByteArray limitNesting(QByteArray page, int maxDepth)
{
    const std::string_view text(page.constData(), std::size_t(page.size()));
    if (NestingScan(text, maxDepth, nullptr).run() <= maxDepth)
        return page;
    QByteArray limited;
    limited.reserve(page.size());
    NestingScan(text, maxDepth, &limited).run();
    return limited;
}

} // namespace sentrel
