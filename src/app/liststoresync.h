#pragma once
#include "storage/storeerror.h"
#include "uimodel/urllistmodel.h"

// Bringing the window's URL list back in line with the store after a command
// that may have left them apart.
namespace sentrel {

class WebsiteRepository;

// Makes the list hold exactly the store's rows: a row whose URL the store
// no longer has (or has fewer times than the list shows it) goes, a stored
// row the list lacks is appended with its "Last Change". Rows that stay keep
// their identity and cells, so a check under way still finds its row. A
// store that cannot be read leaves the list as it is and returns false: the
// command that called has shown its own store error already, and a second
// box with the same words would tell the user nothing new.
bool matchListToStore(UrlListModel &list, WebsiteRepository &store);

// The sink of the options dialog: the error is shown, then the list is made
// to match the store, so that a refused or failed edit never leaves the
// window showing a row the store does not have. Lives as long as the window:
// the dialog is modeless.
class ResyncAfterError final : public StoreErrorSink {
public:
    ResyncAfterError(StoreErrorSink &shown, UrlListModel &list, WebsiteRepository &store)
        : shown_(shown), list_(list), store_(store)
    {
    }
    void showStoreError(const QString &text) override;

private:
    StoreErrorSink &shown_;
    UrlListModel &list_;
    WebsiteRepository &store_;
};

} // namespace sentrel
