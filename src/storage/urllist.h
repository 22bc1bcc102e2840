#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

// The logic of the URL list, without widgets: adding URLs one by one, from a
// text and from a list file, saving the list, the clipboard text, deleting
// the selected rows and the content preview. The desktop list view and
// sentrel-cli each provide the rows.
namespace sentrel {

class StoreErrorSink;
class UrlStore;

// The rows of the URL list, addressed by 0-based position. A row's caption is
// its URL; "Last Change" and "Status" are its two text cells.
class UrlRows {
public:
    virtual ~UrlRows() = default;
    virtual int rowCount() const = 0;
    virtual QString caption(int row) const = 0;
    virtual bool isSelected(int row) const = 0;
    virtual void appendRow(const QString &url, const QString &lastChange, const QString &status) = 0;
    virtual void removeRow(int row) = 0;
};

// The URL as Ekle adds it: trimmed (every character up to U+0020 at either
// end), with "http://" in front unless it starts with "http://" or
// "https://" in any letter case. "" when nothing is left.
QString normalizeUrl(QStringView url);

// The listed URL a user means by `typed` (a command-line argument): the text
// itself when a row has exactly that caption (a URL renamed as typed in the
// options dialog), else the URL Ekle would have stored for it, so that
// "example.com" finds the "http://example.com" its add stored. nullopt when
// neither is listed or `typed` is blank.
std::optional<QString> findListedUrl(QStringView typed, const std::function<bool(const QString &)> &isListed);

// Why `url`, as typed, cannot be the address of a web page: a control
// character or a blank inside it, a scheme other than http and https
// ("file:", "ftp:", "javascript:"), no host. Empty when it can be one, and
// for a blank text (which Ekle skips). A host followed by a port
// ("localhost:8080/a") is no scheme. Ekle itself takes any text, as the
// desktop list does; sentrel-cli's add asks first.
QString webAddressProblem(QStringView url);

// Adds one URL: normalised, then appended as a row and added to the store,
// unless it is blank or a row already has exactly that caption (letter case
// counts). A failed store add is reported to `errors`; the row stays.
// Returns true when a row was appended.
bool Ekle(QStringView url, UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

// Ekle for many URLs in a row: the captions are kept in a set, so that each
// URL costs the same however long the list is (comparing every new URL with
// every row made a file of thousands of URLs cost the square of its length).
// The rows must change only through the adder while it lives.
class UrlAdder {
public:
    explicit UrlAdder(UrlRows &rows);
    bool add(QStringView url, UrlStore &store, StoreErrorSink &errors);

private:
    UrlRows &rows_;
    QSet<QString> captions_;
};

// Every line of `text`, first to last, through Ekle (the Add URLs dialog).
// Returns the number of rows appended.
int EkleLines(QStringView text, UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

// Load List: reads the file (a byte order mark decides; otherwise UTF-8,
// then Windows-1252) and passes every line through Ekle. Throws
// sentrel::Error naming the file when it cannot be read; nothing is added then.
int LoadList(const QString &path, UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

// Save List: the captions of all rows in list order, each followed by CR LF,
// as UTF-8 without byte order mark. The file is replaced whole or not at
// all; throws sentrel::Error naming the file when it cannot be written.
void SaveList(const QString &path, const UrlRows &rows);
QString listFileText(const UrlRows &rows); // the text SaveList writes

// Copy URL to Clipboard: the selected captions in list order, CR LF between
// them, the whole text trimmed; "" with nothing selected.
QString clipboardText(const UrlRows &rows);

// The selected captions in list order (Open URL with Default Browser).
QStringList selectedUrls(const UrlRows &rows);

// Delete: every selected row is deleted from the store and removed from the
// list, also when its store delete fails (reported to `errors`). Hiding the
// content preview is the caller's part.
void deleteSelectedRows(UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

// Start-up: one row per stored website, in store order, "Status" empty. A
// failed load is reported and adds no row.
void fillFromStore(UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

struct ContentPreview {
    QString url;
    QString content; // the stored text; "" before the first saved check
};

// The content preview of a click on the list: the stored text of the first
// selected row. nullopt when nothing is selected, when the store has no row
// for it, or when the lookup failed (reported to `errors`): the panel then
// stays as it is.
std::optional<ContentPreview> contentPreview(const UrlRows &rows, UrlStore &store, StoreErrorSink &errors);

} // namespace sentrel
