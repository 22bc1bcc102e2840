#include "storage/websiterecord.h"
#include "storage/storeschema.h"
#include "storage/storesqlite.h"

namespace sentrel {

WebsiteRecord recordAt(const SqliteStatement &row)
{
    const auto value = [&row](const char16_t *column) -> std::optional<QString> {
        const int index = row.columnIndex(column);
        if (index < 0 || row.isNull(index))
            return std::nullopt;
        return row.text(index);
    };
    using namespace storeschema;
    WebsiteRecord r;
    if (const std::optional<QString> id = value(IdColumn))
        r.rowId = id->toLongLong();
    r.url = value(UrlColumn).value_or(QString());
    StoredOptionTexts options;
    const auto members = inColumnOrder(options);
    for (size_t i = 0; i < members.size(); ++i)
        *members[i] = value(OptionColumns[i].name);
    r.options = optionsFromStored(options);
    r.content = value(ContentColumn);
    r.lastChange = value(LastChangeColumn);
    r.status = value(StatusColumn);
    return r;
}

} // namespace sentrel
