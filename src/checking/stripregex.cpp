#include "checking/htmldecode.h"
#include "checking/strippers.h"
#include "text/regex.h"

namespace sentrel {

namespace {

// Style elements, comments, script elements and single tags, tried in this
// order at each position. The greedy middle of the comment alternative makes
// one match run from the first comment's start to the last comment's end.
constexpr char16_t kMarkupPattern[] =
    u"<style.*?>.*?<\\/style>|<!--*.*-->|<script.*?>.*?<\\/script>|<[^>]+>";

} // namespace

QString StripWithRegex(QStringView text)
{
    const Regex markup(QStringView(kMarkupPattern), Regex::Caseless | Regex::DotAll);
    // The subject may differ from `text` in lone surrogates only (same
    // length), so the kept parts are copied from `text` itself.
    const RegexSubject subject(text);
    QString kept;
    kept.reserve(text.size());
    qsizetype pos = 0;
    markup.forEachMatch(subject, [&](const RegexMatch &m) {
        kept.append(text.sliced(pos, m.start() - pos));
        pos = m.end();
    });
    kept.append(text.sliced(pos));
    return HtmlDecode(kept);
}

} // namespace sentrel
