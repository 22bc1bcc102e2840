// The linear-time searches must give exactly what the plain patterns give: a
// plain left-to-right search of each pattern is the reference, on texts built
// at random from the fragments that steer the searches' pre-checks.
#include "html/attrpattern.h"
#include "html/charclass.h"
#include "html/domtree.h"
#include "html/rawtag.h"
#include "html/tokenizer.h"
#include "support/qtext.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace sentrel;
using namespace sentrel::html;

namespace {

// Where a match lies and what each group took; -1 for unset groups.
using MatchRecord = std::vector<qsizetype>;

MatchRecord recordOf(const RegexMatch &m)
{
    MatchRecord r;
    for (int g = 0; g < m.groupCount(); ++g) {
        r.push_back(m.start(g));
        r.push_back(m.end(g));
    }
    return r;
}

// Every match of a plain search, each search starting where the previous match ended.
std::vector<MatchRecord> plainMatches(const Regex &re, const RegexSubject &subject)
{
    std::vector<MatchRecord> out;
    RegexMatch m;
    for (qsizetype from = 0; re.findNext(subject, from, m); from = m.end())
        out.push_back(recordOf(m));
    return out;
}

QString randomText(std::mt19937 &rng, const std::vector<const char16_t *> &fragments, int maxParts)
{
    std::uniform_int_distribution<int> count(0, maxParts);
    std::uniform_int_distribution<std::size_t> pick(0, fragments.size() - 1);
    QString text;
    for (int i = count(rng); i > 0; --i)
        text += QString::fromUtf16(fragments[pick(rng)]);
    return text;
}

QString show(const QString &text)
{
    return text.toHtmlEscaped();
}

TEST(LinearSearches, CharacterClassesAgreeWithTheLibrary)
{
    const Regex space(u"\\s", Regex::NoFlags);
    const Regex alnum(u"[A-Z0-9]", Regex::Caseless);
    std::vector<std::unique_ptr<Regex>> letters, backReferences;
    for (char16_t l = u'a'; l <= u'z'; ++l) {
        letters.push_back(std::make_unique<Regex>(QString(QChar(l)), Regex::Caseless));
        backReferences.push_back(
            std::make_unique<Regex>(QStringLiteral("(%1)\\1").arg(QChar(l)), Regex::Caseless));
    }
    RegexMatch m;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const char16_t c = char16_t(cp);
        const QString one(QChar{c});
        const RegexSubject s(one);
        ASSERT_EQ(space.findNext(s, 0, m, PCRE2_ANCHORED), isPatternSpace(c)) << int(cp);
        RegexMatch a;
        ASSERT_EQ(alnum.findNext(s, 0, a, PCRE2_ANCHORED), isCaselessAlnum(c)) << int(cp);
        for (char16_t l = u'a'; l <= u'z'; ++l) {
            RegexMatch lm, bm;
            const bool same = foldCaseless(c) == l;
            ASSERT_EQ(letters[l - u'a']->findNext(s, 0, lm, PCRE2_ANCHORED), same)
                << int(cp) << " " << char(l);
            const QString pair = QString(QChar(l)) + one;
            ASSERT_EQ(backReferences[l - u'a']->findNext(RegexSubject(pair), 0, bm, PCRE2_ANCHORED), same)
                << int(cp) << " " << char(l);
        }
    }
}

TEST(LinearSearches, TokenizerFindsThePlainPatternsTokens)
{
    const Regex plain(HtmlTokenizer::patternText(), HtmlTokenizer::flags());
    const std::vector<const char16_t *> fragments = {
        u"<script>",  u"</script>",   u"<SCRIPT", u"<ſcript>", u"</ſcript>",   u"</scrip>",
        u"<title>",   u"</TITLE>",    u"<xmp>",   u"</xmp>",   u"<plaintext>", u"</PLAINTEXT>",
        u"<textarea", u"</textarea>", u"<!--",    u"-->",      u"<!-->",       u"<!--->",
        u"<",         u">",           u"<>",      u"a",        u" ",           u"\r\n",
        u"<b>",       u"</b>",        u"<b",      u"x>",       u"\u00e9",      u"\U0001F600"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(rng, fragments, 14);
        const RegexSubject subject(text);
        HtmlTokenizer tokenizer(subject);
        std::vector<std::pair<qsizetype, qsizetype>> fast;
        qsizetype start = 0, end = 0;
        for (qsizetype from = 0; tokenizer.next(from, start, end); from = end)
            fast.emplace_back(start, end);
        std::vector<std::pair<qsizetype, qsizetype>> reference;
        for (const MatchRecord &r : plainMatches(plain, subject))
            reference.emplace_back(r[0], r[1]);
        ASSERT_EQ(fast, reference) << show(text).toStdString();
    }
}

TEST(LinearSearches, RawTagMatcherFindsThePlainPatternsMatch)
{
    const RawTagMatcher matcher;
    const Regex plain(RawTagMatcher::patternText(), RawTagMatcher::flags());
    const std::vector<const char16_t *> fragments = {
        u"<script>",  u"<scriptx>", u"<script_",  u"<script ", u"<b>",      u"</b>", u"</B>",
        u"</script>", u"</SCRIPT>", u"</ſcript>", u"<ſcript>", u"<\u212A>", u"</k>", u"<a",
        u"</a",       u">",         u"x",         u" ",        u"<",        u"</",   u"<1>",
        u"</1>",      u"<a:b>",     u"</a:b>",    u"\n",       u"\u00e9"};
    std::mt19937 rng(77);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(rng, fragments, 10);
        const RegexSubject subject(text);
        RegexMatch fast, reference;
        const bool fastFound = matcher.find(subject, fast);
        const bool referenceFound = plain.findNext(subject, 0, reference);
        ASSERT_EQ(fastFound, referenceFound) << show(text).toStdString();
        if (fastFound) {
            ASSERT_EQ(recordOf(fast), recordOf(reference)) << show(text).toStdString();
        }
    }
}

// Document order as a walk down the child lists gives it.
std::vector<TDomTreeNode *> preOrder(TDomTreeNode *root)
{
    std::vector<TDomTreeNode *> out;
    std::vector<TDomTreeNode *> pending{root};
    while (!pending.empty()) {
        TDomTreeNode *n = pending.back();
        pending.pop_back();
        out.push_back(n);
        for (qsizetype i = n->Child().Count() - 1; i >= 0; --i)
            pending.push_back(n->Child()[i]);
    }
    return out;
}

TEST(LinearSearches, AnyLevelStepsReadTheDocumentOrderAsTheTreeWalkWould)
{
    const std::vector<const char16_t *> fragments = {u"<div>",
                                                     u"</div>",
                                                     u"<p>",
                                                     u"</p>",
                                                     u"<b>",
                                                     u"</b>",
                                                     u"<DIV>",
                                                     u"text",
                                                     u" ",
                                                     u"<br>",
                                                     u"<img/>",
                                                     u"<!--c-->",
                                                     u"<script>s</script>",
                                                     u"<title>t",
                                                     u"</>",
                                                     u"<>",
                                                     u"<!DOCTYPE x>"};
    const QString names[] = {QStringLiteral("*"),   QStringLiteral("div"),    QStringLiteral("p"),
                             QStringLiteral("b"),   QStringLiteral("text()"), QStringLiteral("comment()"),
                             QStringLiteral("/div")};
    std::mt19937 rng(31);
    for (int round = 0; round < 3000; ++round) {
        const QString page = QStringLiteral("<b>") + randomText(rng, fragments, 30);
        TDomTree tree;
        tree.RootNode()->RunParse(page);
        const std::vector<TDomTreeNode *> order = preOrder(tree.RootNode());
        const auto known = tree.DocumentOrder();
        ASSERT_EQ(std::vector<TDomTreeNode *>(known.begin(), known.end()), order) << show(page).toStdString();
        for (TDomTreeNode *start : order) {
            for (const QString &name : names) {
                TNodeList viaOrder;
                start->FindTagOfIndex(name, 0, true, viaOrder);
                // The same selection from the tree walk: descendants in document
                // order that the step's name test accepts.
                std::vector<TDomTreeNode *> expected;
                for (TDomTreeNode *n : preOrder(start)) {
                    if (n == start)
                        continue;
                    TNodeList one;
                    n->ParentNode()->FindTagOfIndex(name, 0, false, one);
                    if (std::find(one.begin(), one.end(), n) != one.end())
                        expected.push_back(n);
                }
                ASSERT_EQ(std::vector<TDomTreeNode *>(viaOrder.begin(), viaOrder.end()), expected)
                    << show(page).toStdString() << " " << name.toStdString();
            }
        }
    }
}

class AttributeIdentity : public ::testing::TestWithParam<AttributePattern::Kind> {};

TEST_P(AttributeIdentity, ScanFindsThePlainPatternsMatches)
{
    const AttributePattern pattern(GetParam());
    const Regex plain(AttributePattern::patternText(GetParam()), AttributePattern::flagsOf(GetParam()));
    const std::vector<const char16_t *> fragments = {
        u"a",        u"b",          u"=",        u"\"",
        u"'",        u" ",          u"\t",       u"\r\n",
        u"\n",       u"\v",         u"disabled", u"DISABLED",
        u"diſabled", u"hidden",     u"async",    u"allowTransparency",
        u"x=",       u"=\"",        u"\u017F",   u"\u212A",
        u"\u00e9",   u"\U0001F600", u"/",        u">",
        u"selected", u"\u0085",     u"\u2028"};
    std::mt19937 rng(GetParam() == AttributePattern::Kind::Attribute ? 5 : 6);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(rng, fragments, 12);
        const RegexSubject subject(text);
        AttributeScan scan(pattern, subject);
        std::vector<MatchRecord> fast;
        RegexMatch m;
        while (scan.next(m))
            fast.push_back(recordOf(m));
        ASSERT_EQ(fast, plainMatches(plain, subject)) << show(text).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(LinearSearches, AttributeIdentity,
                         ::testing::Values(AttributePattern::Kind::Attribute,
                                           AttributePattern::Kind::Predicate),
                         [](const auto &info) {
                             return std::string(
                                 info.param == AttributePattern::Kind::Attribute ? "Attribute" : "Predicate");
                         });

} // namespace
