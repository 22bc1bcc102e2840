#include "storage/websiteoptions.h"
#include "text/numbers.h"
#include <limits>

namespace sentrel {

std::optional<qint64> parseLineNumber(QStringView text)
{
    return parseDecimal<qint64>(text);
}

std::array<std::optional<QString> *, std::size(storeschema::OptionColumns)>
inColumnOrder(StoredOptionTexts &t)
{
    return {&t.strip, &t.lineStart, &t.lineStop, &t.keyword, &t.xpath, &t.regex};
}

WebsiteOptions optionsFromStored(const StoredOptionTexts &stored)
{
    const auto text = [](const std::optional<QString> &value) { return value.value_or(QString()); };
    WebsiteOptions o;
    o.strip = text(stored.strip) != u"NO";
    o.lineRange = !text(stored.lineStart).isEmpty() || !text(stored.lineStop).isEmpty();
    if (o.lineRange) {
        o.lineStart = parseLineNumber(text(stored.lineStart));
        o.lineStop = parseLineNumber(text(stored.lineStop));
    }
    o.keyword = stored.keyword;
    o.xpath = stored.xpath;
    o.regex = stored.regex;
    return o;
}

StoredOptionTexts storedFromOptions(const WebsiteOptions &o)
{
    const auto bound = [&o](const std::optional<qint64> &value) -> std::optional<QString> {
        if (!o.lineRange)
            return std::nullopt;
        return QString::number(value.value_or(0));
    };
    return {o.strip ? QStringLiteral("YES") : QStringLiteral("NO"),
            bound(o.lineStart),
            bound(o.lineStop),
            o.keyword,
            o.xpath,
            o.regex};
}

int lineBoundAsChecked(const std::optional<qint64> &bound)
{
    if (!bound || *bound < std::numeric_limits<int>::min() || *bound > std::numeric_limits<int>::max())
        return 0;
    return int(*bound);
}

int lineNumberAsEdited(const std::optional<qint64> &bound)
{
    if (!bound || *bound < 0)
        return 0;
    return *bound > MaxLineNumber ? MaxLineNumber : int(*bound);
}

WebsiteOptions optionsAsEdited(const WebsiteOptions &stored)
{
    WebsiteOptions o;
    o.strip = stored.strip;
    o.lineRange = stored.lineRange;
    if (o.lineRange) {
        o.lineStart = lineNumberAsEdited(stored.lineStart);
        o.lineStop = lineNumberAsEdited(stored.lineStop);
    }
    const auto edited = [](const std::optional<QString> &text) { return isOn(text) ? text : std::nullopt; };
    o.keyword = edited(stored.keyword);
    o.xpath = edited(stored.xpath);
    o.regex = edited(stored.regex);
    return o;
}

} // namespace sentrel
