#pragma once
#include "storage/websiteoptions.h"
#include <QString>
#include <optional>

// One row of the WEBSITES table, typed.
namespace sentrel {

class SqliteStatement;

struct WebsiteRecord {
    std::optional<qint64> rowId; // ID; nothing in a hand-made table without one
    QString url;
    WebsiteOptions options;
    std::optional<QString> content;    // the text of the last saved check; NULL before
    std::optional<QString> lastChange; // that check's time as stored (UTC)
    std::optional<QString> status;     // that check's status

    bool operator==(const WebsiteRecord &) const = default;
};

// The record at the statement's current row of a "select *" over WEBSITES,
// every column found by its name in any letter case; a column the table
// lacks reads as NULL.
WebsiteRecord recordAt(const SqliteStatement &row);

} // namespace sentrel
