#include "support/qtext.h"
#include "text/regex.h"
#include <QStringList>
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

QStringList allMatches(const Regex &re, QStringView text)
{
    QStringList out;
    re.forEachMatch(RegexSubject(text), [&](const RegexMatch &m) { out.append(m.captured().toString()); });
    return out;
}

TEST(Regex, InvalidPatternReportsOffsetAndDescription)
{
    try {
        Regex re(u"ab(c", Regex::NoFlags);
        FAIL() << "compiled";
    } catch (const RegexError &e) {
        EXPECT_EQ(e.offset(), 4);
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Error in regular expression at offset 4: ")))
            << e.message().toStdString();
        EXPECT_FALSE(e.description().isEmpty());
    }
}

TEST(Regex, ClassesActOnAsciiOnly)
{
    // Without Unicode properties \w and \d leave non-ASCII letters and digits alone.
    const Regex re(u"\\w+", Regex::NoFlags);
    EXPECT_EQ(allMatches(re, u"caf\u00e9 \u0661x"),
              (QStringList{QStringLiteral("caf"), QStringLiteral("x")}));
}

TEST(Regex, MultilineAnchorsAtEveryUnicodeLineBreak)
{
    const Regex re(u"^\\w", Regex::Multiline);
    const QString text = u16(u"a\r\nb\rc\nd\ve\ff\u0085g\u2028h\u2029i");
    EXPECT_EQ(allMatches(re, text).join(QString()), QStringLiteral("abcdefghi"));
}

TEST(Regex, DotStopsAtLineBreaksUnlessDotAll)
{
    EXPECT_EQ(allMatches(Regex(u"a.b", Regex::NoFlags), u"a\nb a-b"), QStringList{QStringLiteral("a-b")});
    EXPECT_EQ(allMatches(Regex(u"a.b", Regex::DotAll), u"a\nb"), QStringList{QStringLiteral("a\nb")});
}

TEST(Regex, EmptyMatchesStepOverCrLfAndSurrogatePairsAsOneCharacter)
{
    const Regex re(u"x*", Regex::NoFlags);
    int empties = 0;
    const QString text = u16(u"\r\n\U0001F600x");
    re.forEachMatch(RegexSubject(text), [&](const RegexMatch &m) {
        if (m.start() == m.end())
            ++empties;
        EXPECT_FALSE(m.start() == 1 || m.start() == 3) << "matched inside a pair at " << m.start();
    });
    EXPECT_EQ(empties, 3); // before CR LF, before the emoji, at the end
}

TEST(Regex, LoneSurrogatesAreMatchedAsReplacementCharacters)
{
    const QString text = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    const Regex re(u"a.b", Regex::NoFlags);
    EXPECT_EQ(allMatches(re, text).size(), 1);
}

TEST(Regex, RunawayBacktrackingHitsTheMatchLimit)
{
    const Regex re(u"(a+)+$", Regex::NoFlags, {.match = 10000, .depth = 1000});
    const QString text = QString(40, u'a') + u'b';
    EXPECT_THROW(allMatches(re, text), RegexLimitError);
}

TEST(Regex, CapturesAndUnsetGroups)
{
    const Regex re(u"(a)|(b)", Regex::NoFlags);
    RegexMatch m;
    ASSERT_TRUE(re.findNext(RegexSubject(u"xb"), 0, m));
    EXPECT_FALSE(m.isSet(1));
    EXPECT_EQ(m.captured(2), u"b");
    EXPECT_EQ(m.start(), 1);
}

} // namespace
