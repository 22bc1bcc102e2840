// The document model on realistic pages (~100 KB and ~5 MB, generated here):
// parsing alone, and the whole extraction a check runs, with the expression of
// a content column and the options dialog's example. MB/s count UTF-8 bytes of
// the page. Scaling reports the 5 MB page's cost as a multiple of the 100 KB
// page's (51 for linear cost), from the median CPU time of many runs each.
// Hostile pages report their time per page.
#include "html/domtree.h"
#include "html/extract.h"
#include <QString>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <random>
#include <vector>

using namespace sentrel;

namespace {

// A news-like page: a head with styles, inline scripts and meta tags, then
// nested layout divs with classes, a weather box, articles of paragraphs with
// entities and links, tables, lists, forms and comments, until `size` characters.
QString realisticPage(qsizetype size)
{
    std::mt19937 rng(42);
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    const char *words[] = {"market",   "city",   "council", "weather", "report", "season",
                           "river",    "school", "price",   "energy",  "train",  "museum",
                           "festival", "budget", "league",  "harbour", "garden", "bridge"};
    auto sentence = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += u' ';
            s += QString::fromLatin1(words[pick(18)]);
            if (pick(9) == 0)
                s += QStringLiteral(" &amp;");
            if (pick(13) == 0)
                s += QStringLiteral("&nbsp;&#8211;");
        }
        return s + u'.';
    };

    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Daily &amp; Local "
        "News</title>\n"
        "<link rel=\"stylesheet\" href=\"/css/site.css?v=3\">\n"
        "<style>\nbody { margin: 0; font: 14px/1.4 sans-serif; }\n.content p { margin: 0 0 1em; }\n"
        ".draw.default { color: #333; }\n</style>\n"
        "<script>\nwindow.dataLayer = window.dataLayer || [];\nfunction track(e) { if (e.length < 3 && e[0] "
        "> 1) "
        "{ dataLayer.push({'event': e, 'html': '<div class=\"x\">'}); } }\n</script>\n"
        "<script async src=\"https://cdn.example.com/ads.js\"></script>\n</head>\n"
        "<body class=\"home page\">\n<!-- header -->\n<div id=\"page\" class=\"wrapper\">\n"
        "<div class=\"header\"><div class=\"logo\"><a href=\"/\"><img src=\"/logo.png\" "
        "alt=\"Daily\"></a></div>\n"
        "<ul class=\"nav\"><li><a href=\"/news\">News</a></li><li><a href=\"/sport\">Sport</a></li>"
        "<li><a href=\"/weather\">Weather</a></li></ul></div>\n"
        "<div id=\"TopBox\"><div class=\"forecast\"><div class=\"draw default\">Sunny</div>"
        "<div class=\"draw\">18&deg;C</div></div></div>\n");
    int article = 0;
    while (page.size() < size) {
        ++article;
        page += QStringLiteral(
                    "<div class=\"row\">\n<div class=\"col main\">\n<div class=\"content\" id=\"a%1\">\n"
                    "<h2 class=\"headline\"><a href=\"/news/%1\">%2</a></h2>\n")
                    .arg(article)
                    .arg(sentence(6));
        for (int p = 3 + pick(5); p > 0; --p)
            page += QStringLiteral("<p class=\"text\">") + sentence(25 + pick(30)) +
                    QStringLiteral(" <a href=\"/t/") + QString::number(pick(500)) +
                    QStringLiteral("\">more</a> ") + sentence(10) + QStringLiteral("</p>\n");
        if (article % 3 == 0) {
            page += QStringLiteral("<table class=\"scores\"><tr><th>Team</th><th>Points</th></tr>\n");
            for (int r = 0; r < 6; ++r)
                page += QStringLiteral("<tr class=\"r%1\"><td>%2</td><td>%3</td></tr>\n")
                            .arg(r)
                            .arg(QString::fromLatin1(words[pick(18)]))
                            .arg(pick(90));
            page += QStringLiteral("</table>\n");
        }
        if (article % 4 == 0)
            page +=
                QStringLiteral("<ul class=\"related\"><li><a href=\"/r/1\">") + sentence(4) +
                QStringLiteral("</a></li><li><a href=\"/r/2\">") + sentence(5) +
                QStringLiteral("</a></li></ul>\n<form action=\"/s\"><input type=\"text\" name=\"q\" required>"
                               "<input type=\"submit\" value=\"Go\" disabled></form>\n");
        page += QStringLiteral("<!-- article %1 end --><br>\n</div>\n</div>\n<div class=\"col side\">"
                               "<div class=\"ad\"><script>track(['a%1', %1]);</script></div></div>\n</div>\n")
                    .arg(article);
    }
    page += QStringLiteral("<div class=\"footer\">&copy; 2024 Daily</div>\n</div>\n</body>\n</html>\n");
    return page;
}

const QString &pageOf(int64_t kb)
{
    static const QString small = realisticPage(100 * 1024);
    static const QString large = realisticPage(5 * 1024 * 1024);
    return kb <= 100 ? small : large;
}

int64_t bytesOf(const QString &page)
{
    return page.toUtf8().size();
}

constexpr QStringView ContentExpression = u"//div[@class=\"content\"]//p";
constexpr QStringView DialogExpression = u"//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]";

void BM_RunParse(benchmark::State &state)
{
    const QString &page = pageOf(state.range(0));
    for (auto _ : state) {
        TDomTree tree;
        benchmark::DoNotOptimize(tree.RootNode()->RunParse(page));
    }
    state.SetBytesProcessed(state.iterations() * bytesOf(page));
}
BENCHMARK(BM_RunParse)->Arg(100)->Arg(5120)->Unit(benchmark::kMillisecond);

void extract(benchmark::State &state, QStringView expression)
{
    const QString &page = pageOf(state.range(0));
    qsizetype lines = 0;
    for (auto _ : state) {
        const QString result = ExtractXPathText(page, expression, 0, false);
        lines = result.isEmpty() ? 0 : result.count(u'\r') + 1;
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * bytesOf(page));
    state.counters["lines"] = double(lines);
}
void BM_ExtractContent(benchmark::State &state)
{
    extract(state, ContentExpression);
}
void BM_ExtractDialogExample(benchmark::State &state)
{
    extract(state, DialogExpression);
}
BENCHMARK(BM_ExtractContent)->Arg(100)->Arg(5120)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractDialogExample)->Arg(100)->Arg(5120)->Unit(benchmark::kMillisecond);

// CPU time of this thread, in seconds: steadier than wall time on a shared machine.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Median CPU time of `runs` extractions, in seconds. The median rather than
// the best, so that the short runs of the small page do not get more chances
// at a quiet moment than the long runs of the large one.
double medianOf(int runs, const QString &page)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t0 = threadSeconds();
        benchmark::DoNotOptimize(ExtractXPathText(page, ContentExpression, 0, false));
        times.push_back(threadSeconds() - t0);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[std::size_t(runs / 2)];
}

void BM_ExtractScaling(benchmark::State &state)
{
    const QString &small = pageOf(100), &large = pageOf(5120);
    for (auto _ : state) {
        const double s = medianOf(101, small), l = medianOf(9, large);
        state.SetIterationTime(l);
        state.counters["ratio_5MB_to_100KB"] = l / s;
        state.counters["size_ratio"] = double(bytesOf(large)) / double(bytesOf(small));
    }
}
BENCHMARK(BM_ExtractScaling)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

QString repeated(const QString &piece, int times)
{
    QString s;
    s.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

QString hostilePage(int64_t which)
{
    const QString mega = repeated(QStringLiteral("abcdefgh"), 1 << 17);
    switch (which) {
    case 0: // 10 000 scripts that never close
        return repeated(QStringLiteral("<script>var a = 1 < 2;"), 10000);
    case 1: // 10 000 script openings without any ">"
        return QStringLiteral("<p>a</p>") + repeated(QStringLiteral("<script src=x"), 10000);
    case 2: // 10 000 comments that never close
        return repeated(QStringLiteral("<!-- a > b "), 10000);
    case 3: // one attribute text of 1 Mi characters without "="
        return QStringLiteral("<div ") + mega + QStringLiteral(">t</div>");
    case 4: // one quoted attribute value of 1 Mi characters
        return QStringLiteral("<div data-x=\"") + mega + QStringLiteral("\">t</div>");
    case 5: // 200 000 unclosed divs
        return repeated(QStringLiteral("<div class=\"c\">t"), 200000);
    default: // a raw token full of tags whose opening is not closed
        return QStringLiteral("<scriptx>") + repeated(QStringLiteral("<a>"), 100000) +
               QStringLiteral("</script>");
    }
}

void BM_HostileExtract(benchmark::State &state)
{
    const QString page = hostilePage(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExtractXPathText(page, u"//div", 0, false));
    state.SetBytesProcessed(state.iterations() * bytesOf(page));
    const char *names[] = {"unclosed_scripts",    "script_without_gt", "unclosed_comments",
                           "mega_attribute_text", "mega_quoted_value", "deep_divs",
                           "raw_token_of_tags"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_HostileExtract)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
