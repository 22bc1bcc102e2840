#pragma once
#include "uimodel/urllistmodel.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The commands of the URL list on its model: adding URLs one by one, from a
// text and from a list file, saving the list, the clipboard text, deleting
// rows and the content preview. The selection they act on is given as row
// ids; the desktop takes it from its view, sentrel-cli from its arguments.
namespace sentrel {

class StoreErrorSink;
class WebsiteRepository;

// Adds one URL: normalised (normalizeUrl), then appended as a row and added
// to the store, unless it is blank or a row already has exactly that caption
// (letter case counts). A failed store add is reported to `errors`; the row
// stays. Returns the new row, nullopt when none was appended. The caption
// lookup is a hash lookup, so a file of thousands of URLs costs each the
// same however long the list is.
std::optional<RowId> Ekle(QStringView url, UrlListModel &list, WebsiteRepository &store,
                          StoreErrorSink &errors);

// Every line of `text`, first to last, through Ekle (the Add URLs dialog).
// Returns the number of rows appended.
int EkleLines(QStringView text, UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors);

// Load List: reads the file (a byte order mark decides; otherwise UTF-8,
// then Windows-1252) and passes every line through Ekle. Throws
// sentrel::Error naming the file when it cannot be read; nothing is added then.
int LoadList(const QString &path, UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors);

// Save List: the captions of all rows in list order, each followed by CR LF,
// as UTF-8 without byte order mark. The file is replaced whole or not at
// all; throws sentrel::Error naming the file when it cannot be written.
void SaveList(const QString &path, const UrlListModel &list);
QString listFileText(const UrlListModel &list); // the text SaveList writes

// Copy URL to Clipboard: the captions of `selection` in list order, CR LF
// between them, the whole text trimmed; "" with nothing selected.
QString clipboardText(const UrlListModel &list, const QList<RowId> &selection);

// The captions of `selection` in list order (Open URL with Default Browser).
QStringList selectedUrls(const UrlListModel &list, const QList<RowId> &selection);

// Delete: every row of `rows` still listed is deleted from the store and
// removed from the list, also when its store delete fails (reported to
// `errors`). Hiding the content preview is the caller's part.
void deleteRows(UrlListModel &list, const QList<RowId> &rows, WebsiteRepository &store,
                StoreErrorSink &errors);

// Start-up: one row per stored website, in store order, "Status" empty, all
// in one insertion. A failed load is reported and adds no row.
void fillFromStore(UrlListModel &list, WebsiteRepository &store, StoreErrorSink &errors);

struct ContentPreview {
    QString url;
    QString content; // the stored text; "" before the first saved check
};

// The content preview of a click on the list: the stored text of the first
// selected row in list order. nullopt when nothing is selected, when the
// store has no row for it, or when the lookup failed (reported to
// `errors`): the panel then stays as it is.
std::optional<ContentPreview> contentPreview(const UrlListModel &list, const QList<RowId> &selection,
                                             WebsiteRepository &store, StoreErrorSink &errors);

} // namespace sentrel
