#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include "app/liststoresync.h"
#include "app/mainwindow.h"
#include "app/onlinehelp.h"
#include "app/previewpanel.h"
#include "app/runcontrol.h"
#include "app/urllistview.h"
#include "dialogs/addurls.h"
#include "storage/settingskeys.h"
#include "text/versioninfo.h"
#include "uimodel/urllistcommands.h"
#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSplitter>
#include <optional>

// The commands on the URL list, the content preview and the settings the
// window itself carries out.
namespace sentrel {

namespace {

constexpr char16_t ListFileSuffix[] = u"txt";
constexpr char16_t ListFileFilter[] = u"Text File (*.txt)|*.txt|Any File (*.*)|*.*";

// Many URLs added at once share one transaction and so one disk sync
// instead of one each; every statement still stands on its own.
class StoreAddBatch {
public:
    explicit StoreAddBatch(StoreAccess &store)
    {
        if (WebsiteDb *db = store.db())
            batch_.emplace(*db);
    }
    // A failure to make the adds durable ends the command in the error box.
    void commit()
    {
        if (batch_)
            batch_->commit();
    }

private:
    std::optional<StoreBatch> batch_;
};

} // namespace

// --- Runs ----------------------------------------------------------------

void TAppForm::CheckURL1Click()
{
    runControl_->checkUrlClicked([this] { runCommands_->CheckURL1Click(); });
}

void TAppForm::ToolButton1Click()
{
    runControl_->checkAllClicked([this] { runCommands_->ToolButton1Click(); });
}

// --- URL list ------------------------------------------------------------

void TAppForm::ToolButton3Click()
{
    auto *editor = new CodeEditor(false);
    new EditMenu(editor);
    auto *dialog = new TFormAddURLs(
        editor,
        [this](const QString &text) {
            guarded([&] {
                StoreAddBatch batch(store_);
                EkleLines(text, urlModel_, store_, *ports_);
                batch.commit();
            });
        },
        this);
    dialog->setWindowFlag(Qt::Window);
    addUrls_ = dialog;
    dialog->show();
}

void TAppForm::ToolButton2Click()
{
    const QString path = env_.fileDialogs.openFile(this, QString::fromUtf16(ListFileSuffix),
                                                   QString::fromUtf16(ListFileFilter));
    if (path.isEmpty())
        return;
    StoreAddBatch batch(store_);
    LoadList(path, urlModel_, store_, *ports_);
    batch.commit();
}

void TAppForm::ToolButton4Click()
{
    const QString path = env_.fileDialogs.saveFile(this, QString::fromUtf16(ListFileSuffix),
                                                   QString::fromUtf16(ListFileFilter));
    if (path.isEmpty())
        return;
    SaveList(path, urlModel_);
}

void TAppForm::Copy1Click()
{
    QGuiApplication::clipboard()->setText(clipboardText(urlModel_, ListView1->selectedIds()));
}

void TAppForm::OpenURLwithDefaultBrowser1Click()
{
    for (const QString &url : selectedUrls(urlModel_, ListView1->selectedIds()))
        env_.shell.openUrl(url);
}

void TAppForm::Delete1Click()
{
    const QList<RowId> doomed = ListView1->selectedIds();
    deleteRows(urlModel_, doomed, store_, *ports_);
    // The store deletes every row of a URL: where it held one URL twice, the
    // other row must leave the window too.
    if (!doomed.isEmpty())
        matchListToStore(urlModel_, store_);
    ContentPanelGizle();
}

void TAppForm::SelectAll1Click()
{
    ListView1->selectAll();
}

void TAppForm::ToolButton8Click()
{
    sentrel::ToolButton8Click(EditUrlContext{urlModel_, selection(), store_, *editErrors_}, env_.boxes, this);
}

// --- Content preview -----------------------------------------------------

void TAppForm::ListView1Click()
{
    const std::optional<ContentPreview> preview =
        contentPreview(urlModel_, ListView1->selectedIds(), store_, *ports_);
    if (!preview)
        return;
    PanelContent->showContent(preview->url, preview->content);
    showContentPanel();
}

void TAppForm::previewCurrentRow(const QModelIndex &current)
{
    // A hidden preview stays hidden: only a click or a check opens it.
    if (!current.isValid() || PanelContent->isHidden())
        return;
    const RowId id = urlModel_.idAt(current.row());
    const std::optional<ContentPreview> preview = contentPreview(urlModel_, {id}, store_, *ports_);
    // A URL with no stored text shows an empty editor, never the last page.
    PanelContent->showContent(urlModel_.url(id), preview ? preview->content : QString());
}

void TAppForm::showContentPanel()
{
    const bool wasHidden = PanelContent->isHidden();
    PanelContent->show();
    if (wasHidden) {
        const int total = Splitter1->height() - Splitter1->handleWidth();
        Splitter1->setSizes({qMax(0, total - contentHeight_), contentHeight_});
    }
}

void TAppForm::ContentPanelGizle()
{
    PanelContent->clear();
    PanelContent->hide();
}

void TAppForm::layoutContentPanel()
{
    if (PanelContent->isHidden())
        return;
    contentHeight_ = height() / 3;
    const int total = Splitter1->height() - Splitter1->handleWidth();
    Splitter1->setSizes({qMax(0, total - contentHeight_), contentHeight_});
}

// --- Settings ------------------------------------------------------------

void TAppForm::Button1Click()
{
    const QString path = env_.fileDialogs.openFile(this, QString::fromUtf16(SoundFileDefaultSuffix),
                                                   QString::fromUtf16(SoundFileFilter));
    if (!path.isEmpty())
        actionPage_->soundFileField()->setText(path);
}

void TAppForm::StripMethodClick(QAction *item)
{
    item->setChecked(true);
    writeStripMethod(settings_, static_cast<StripMethod>(item->data().toInt()));
}

void TAppForm::Help2Click()
{
    const QString address = onlineHelpAddress(readVersionInfo().ProductName);
    if (env_.shell.openUrl(address))
        failureNotices_.succeeded(FailureCause::OnlineHelp);
    else
        failureNotices_.failed(FailureCause::OnlineHelp,
                               QStringLiteral("No web browser could open the online help: ") + address);
}

void TAppForm::Exit1Click()
{
    QCoreApplication::quit();
}

} // namespace sentrel
