#pragma once
#include <QString>
#include <QStringView>

// The check options of one URL as the per-URL options dialog holds them, the
// rules that fill the dialog from the URL's row, and the one UPDATE its OK
// issues. sentrel-cli's `set` goes through the same three steps.
namespace sentrel {

class StoreRow;

inline constexpr int MaxLineNumber = 999999999;

struct EditUrlOptions {
    bool strip = false;
    bool lineRange = false;
    int lineStart = 1; // 0..MaxLineNumber
    int lineStop = 1;
    bool keyword = false;
    QString keywordText;
    bool xpath = false;
    QString xpathText;
    bool regex = false;
    QString regexText;

    bool operator==(const EditUrlOptions &) const = default;
};

// The dialog's state after opening on `row`: "Strip HTML" unless STRIP is
// exactly "NO"; the line range when either bound is set; keyword, XPath and
// pattern when their stored text is not empty. Unchecked boxes keep the form
// defaults (line numbers 1, texts empty).
EditUrlOptions editOptionsFromRow(const StoreRow &row);

// A stored or typed line number: 0 for empty or non-numeric text, otherwise
// brought into 0..MaxLineNumber.
int toLineNumber(QStringView text);

// "update WEBSITES set URL=..., STRIP=..., ..., CONTENT=NULL, LASTCHANGE=NULL,
// STATUS=NULL where URL=<target>;": writes `newUrl` (as typed) and every
// option, and clears the stored text so the next check starts afresh.
QString editOptionsUpdateSql(QStringView newUrl, const EditUrlOptions &options, QStringView targetUrl);

} // namespace sentrel
