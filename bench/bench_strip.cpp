// Throughput of the three strippers and of HtmlDecode on generated pages of
// about 100 KB and 5 MB. MB/s are counted in UTF-8 bytes of the page, the size
// it had on the wire. Compare the two sizes to see that the cost grows
// linearly (the 5 MB page should cost at most 60 times the 100 KB one).
// Each size cycles through distinct pages worth about 16 MB of text, so that
// neither size gains from finding its input still in the processor's caches
// (a single 100 KB page would stay in the L2 cache between iterations, a
// 5 MB one cannot), which would otherwise be most of the difference in cost.
#include "strip/htmldecode.h"
#include "strip/strippers.h"
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// A deterministic page of news-site shape: head with scripts and styles,
// navigation lists, sections of paragraphs with inline markup, entities and
// accented words, data tables, preformatted blocks, comments between parts.
class PageGenerator {
public:
    explicit PageGenerator(uint64_t seed, bool comments) : state_(seed), comments_(comments) {}

    QString page(qsizetype targetSize)
    {
        QString out;
        out.reserve(targetSize + 4096);
        out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                              "<title>Market report &amp; weather &ndash; Example News</title>\n");
        for (int i = 0; i < 3; ++i)
            style(out);
        for (int i = 0; i < 4; ++i)
            script(out);
        out += QStringLiteral("</head>\n<body class=\"home\">\n");
        navigation(out);
        int section = 0;
        while (out.size() < targetSize)
            this->section(out, section++);
        comment(out, QStringLiteral("footer"));
        out += QStringLiteral("<footer><p>&copy; 2024 Example News &middot; <a href=\"/imprint\">Imprint</a>"
                              "</p></footer>\n");
        script(out);
        out += QStringLiteral("</body>\n</html>\n");
        return out;
    }

private:
    uint32_t next()
    {
        // xorshift64*: the same page on every platform and standard library.
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return uint32_t((state_ * 0x2545F4914F6CDD1DULL) >> 32);
    }
    int between(int low, int high) { return low + int(next() % uint32_t(high - low + 1)); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <std::size_t N> const char16_t *pick(const std::array<const char16_t *, N> &from)
    {
        return from[next() % N];
    }

    void words(QString &out, int n)
    {
        static constexpr std::array<const char16_t *, 40> kWords = {
            u"the",     u"market",  u"report", u"shows",  u"that",     u"prices",   u"rose",    u"again",
            u"in",      u"several", u"region", u"while",  u"supply",   u"remained", u"tight",   u"and",
            u"demand",  u"for",     u"new",    u"goods",  u"kept",     u"growing",  u"across",  u"year",
            u"experts", u"expect",  u"slower", u"pace",   u"next",     u"quarter",  u"because", u"rates",
            u"are",     u"still",   u"high",   u"energy", u"software", u"services", u"weather", u"culture",
        };
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                out += u' ';
            out += QStringView(pick(kWords));
        }
    }

    void sentence(QString &out)
    {
        static constexpr std::array<const char16_t *, 12> kAccented = {
            u"caf\u00E9",
            u"r\u00E9sum\u00E9",
            u"na\u00EFve",
            u"Z\u00FCrich",
            u"S\u00E3o Paulo",
            u"d\u00E9j\u00E0 vu",
            u"cr\u00E8me br\u00FBl\u00E9e",
            u"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1",
            u"\u041C\u043E\u0441\u043A\u0432\u0430",
            u"\u6771\u4EAC",
            u"co\u00F6perate",
            u"fa\u00E7ade",
        };
        static constexpr std::array<const char16_t *, 16> kEntities = {
            u"&amp;",  u"&nbsp;",  u"&eacute;", u"&#8364;", u"&#x20AC;", u"&lt;",    u"&gt;",  u"&quot;",
            u"&copy;", u"&mdash;", u"&hellip;", u"&#39;",   u"&uuml;",   u"&ndash;", u"&reg;", u"&#169;",
        };
        static constexpr std::array<const char16_t *, 9> kInline = {
            u"b", u"i", u"em", u"strong", u"span", u"code", u"small", u"u", u"abbr",
        };
        const int parts = between(6, 14);
        for (int i = 0; i < parts; ++i) {
            out += u' ';
            const int r = between(1, 100);
            if (r <= 8) {
                out += QStringView(pick(kEntities));
            } else if (r <= 13) {
                out += QStringView(pick(kAccented));
            } else if (r <= 22) {
                const QStringView tag(pick(kInline));
                out += u'<';
                out += tag;
                if (chance(50))
                    out += QStringLiteral(" class=\"c%1\"").arg(between(0, 9));
                out += u'>';
                words(out, between(1, 3));
                out += QStringLiteral("</");
                out += tag;
                out += u'>';
            } else if (r <= 27) {
                out += QStringLiteral("<a href=\"/article/%1?ref=nav&amp;id=%2\">")
                           .arg(between(1, 99999))
                           .arg(between(1, 999));
                words(out, between(1, 4));
                out += QStringLiteral("</a>");
            } else if (r <= 30) {
                out += QStringLiteral("%1.%2&nbsp;&euro;").arg(between(1, 9999)).arg(between(10, 99));
            } else {
                words(out, between(1, 4));
            }
        }
        out += chance(80) ? u'.' : u'?';
    }

    void paragraph(QString &out)
    {
        out += QStringLiteral("<p>");
        const int n = between(2, 5);
        for (int i = 0; i < n; ++i)
            sentence(out);
        out += QStringLiteral("</p>\n");
    }

    void table(QString &out, int id)
    {
        const int cols = between(3, 6), rows = between(4, 12);
        out += QStringLiteral("<table class=\"data\" id=\"t%1\" border=\"0\" cellpadding=\"2\">\n<caption>")
                   .arg(id);
        words(out, 4);
        out += QStringLiteral("</caption>\n<thead><tr>");
        for (int c = 0; c < cols; ++c) {
            out += QStringLiteral("<th>");
            words(out, 1);
            out += QStringLiteral("</th>");
        }
        out += QStringLiteral("</tr></thead>\n<tbody>\n");
        for (int r = 0; r < rows; ++r) {
            out += r % 2 ? QStringLiteral("<tr class=\"odd\">") : QStringLiteral("<tr class=\"even\">");
            for (int c = 0; c < cols; ++c) {
                if (c == 0) {
                    out += QStringLiteral("<td>");
                    words(out, 2);
                    out += QStringLiteral("</td>");
                } else if (chance(20)) {
                    out += QStringLiteral("<td align=\"right\">%1&nbsp;&#8364;</td>").arg(between(0, 99999));
                } else {
                    out += QStringLiteral("<td>%1.%2</td>").arg(between(-99, 999)).arg(between(0, 9));
                }
            }
            out += QStringLiteral("</tr>\n");
        }
        out += QStringLiteral("</tbody></table>\n");
    }

    void navigation(QString &out)
    {
        comment(out, QStringLiteral("navigation"));
        out += QStringLiteral("<nav id=\"top\"><ul class=\"menu\">\n");
        const int n = between(12, 30);
        for (int i = 0; i < n; ++i) {
            out += QStringLiteral("<li><a href=\"/section/%1\">").arg(i);
            words(out, between(1, 2));
            out += QStringLiteral("</a></li>\n");
        }
        out += QStringLiteral("</ul></nav>\n");
    }

    void script(QString &out)
    {
        out += QStringLiteral(
                   "<script type=\"text/javascript\">\n"
                   "(function (w, d) {\n"
                   "  var items = d.querySelectorAll('.c%1'), n = items.length;\n"
                   "  for (var i = 0; i < n && i < %2; i++) { if (items[i].offsetTop > 0) items[i].className "
                   "+= ' seen'; }\n"
                   "  w.track = function (e) { return e && e.id ? '<span>' + e.id + '</span>' : ''; };\n"
                   "})(window, document);\n</script>\n")
                   .arg(between(0, 9))
                   .arg(between(10, 500));
    }

    void style(QString &out)
    {
        out += QStringLiteral(
                   "<style type=\"text/css\">\n"
                   ".c%1 { color: #%2; margin: 0 %3px; }\n"
                   "table.data td, table.data th { padding: 2px 4px; border-bottom: 1px solid #ddd; }\n"
                   "nav > ul > li { display: inline-block; }\n</style>\n")
                   .arg(between(0, 9))
                   .arg(between(0x100000, 0xFFFFFF), 0, 16)
                   .arg(between(0, 20));
    }

    void comment(QString &out, const QString &what)
    {
        if (comments_)
            out += QStringLiteral("<!-- %1 -->\n").arg(what);
    }

    void section(QString &out, int index)
    {
        comment(out, QStringLiteral("section %1").arg(index));
        out += QStringLiteral("<section class=\"x\" id=\"s%1\">\n<h2>").arg(index);
        words(out, between(3, 6));
        out += QStringLiteral("</h2>\n<div class=\"byline\"><span class=\"author\">");
        words(out, 2);
        out += QStringLiteral("</span> &middot; <time>2024-05-%1</time></div>\n").arg(between(10, 28));
        const int paragraphs = between(2, 6);
        for (int i = 0; i < paragraphs; ++i)
            paragraph(out);
        if (chance(35))
            table(out, index);
        if (chance(10)) {
            out += QStringLiteral("<pre class=\"code\">\n  value = compute(%1);\n  if (value &lt; limit) {\n"
                                  "      report(value);\n  }\n</pre>\n")
                       .arg(between(1, 99));
        }
        if (chance(15))
            script(out);
        out += QStringLiteral("<ul class=\"related\">");
        const int related = between(2, 5);
        for (int i = 0; i < related; ++i) {
            out += QStringLiteral("<li><a href=\"/story/%1\">").arg(between(1, 99999));
            words(out, between(2, 5));
            out += QStringLiteral("</a></li>");
        }
        out += QStringLiteral("</ul>\n</section>\n");
    }

    uint64_t state_;
    bool comments_;
};

struct Pages {
    std::vector<QString> texts;
    std::vector<qint64> utf8Bytes;
};

std::shared_ptr<const Pages> makePages(qsizetype size, bool comments)
{
    constexpr qsizetype kPoolChars = 8 * 1000 * 1000;
    auto pages = std::make_shared<Pages>();
    const qsizetype count = std::max<qsizetype>(2, kPoolChars / size);
    for (qsizetype i = 0; i < count; ++i) {
        pages->texts.push_back(
            PageGenerator(0x5EED0000u + uint64_t(size) + uint64_t(i), comments).page(size));
        pages->utf8Bytes.push_back(pages->texts.back().toUtf8().size());
    }
    return pages;
}

void registerOn(const char *name, QString (*work)(QStringView), const std::string &pageName,
                const std::shared_ptr<const Pages> &pages)
{
    const std::string label = std::string(name) + "/" + pageName;
    benchmark::RegisterBenchmark(label.c_str(), [work, pages](benchmark::State &state) {
        std::size_t next = 0;
        qint64 bytes = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(work(pages->texts[next]));
            bytes += pages->utf8Bytes[next];
            next = (next + 1) % pages->texts.size();
        }
        state.SetBytesProcessed(bytes);
    })->Unit(benchmark::kMillisecond);
}

QString decode(QStringView text)
{
    return sentrel::HtmlDecode(text);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    const struct {
        const char *name;
        qsizetype size;
    } sizes[] = {{"100KB", 100 * 1000}, {"5MB", 5 * 1000 * 1000}};
    for (const auto &s : sizes) {
        const auto page = makePages(s.size, true);
        registerOn("StripWithStringBuilder", &sentrel::StripWithStringBuilder, s.name, page);
        registerOn("HtmlDecode", &decode, s.name, page);
        registerOn("StripWithRegex", &sentrel::StripWithRegex, s.name, page);
        // Without comments the greedy comment match does not swallow the page,
        // so every tag, script and style is a match of its own.
        const auto plain = makePages(s.size, false);
        registerOn("StripWithRegex", &sentrel::StripWithRegex, std::string(s.name) + "-nocomments", plain);
        registerOn("StripWithBrowser", &sentrel::StripWithBrowser, s.name, page);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
