#include "storage/urllist.h"
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

TEST(NormalizeUrl, TrimsAndPutsHttpInFrontOfAnythingElse)
{
    const struct {
        const char16_t *typed;
        const char16_t *added;
    } cases[] = {
        {u"  example.com \t", u"http://example.com"},
        {u"\x01\r\nExample.COM/Path\x1F", u"http://Example.COM/Path"},
        {u"http://a.b/", u"http://a.b/"},
        {u"https://a.b/", u"https://a.b/"},
        {u"HTTPS://A.B/", u"HTTPS://A.B/"},
        {u"HtTp://a", u"HtTp://a"},
        {u"ftp://files.example/", u"http://ftp://files.example/"},
        {u"http:/one-slash", u"http://http:/one-slash"},
        {u"https:", u"http://https:"},
        {u"\u00A0nbsp\u00A0", u"http://\u00A0nbsp\u00A0"}, // only code points up to U+0020 are trimmed
        {u"", u""},
        {u" \t\r\n ", u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        EXPECT_EQ(normalizeUrl(QString::fromUtf16(c.typed)), QString::fromUtf16(c.added));
    }
}

} // namespace
