#include "app/previewpanel.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include "dialogs/diffview.h"
#include "dialogs/snapshotcompare.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace sentrel {

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent), LabelUrl(new ElidedLabel(QStringLiteral("http://"))),
      SynEditContent(new CodeEditor(true)), menu_(new EditMenu(SynEditContent)), tabs_(new QTabBar),
      views_(new QStackedWidget), changes_(new DiffView)
{
    QFont bold = LabelUrl->font();
    bold.setBold(true);
    LabelUrl->setFont(bold);
    LabelUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);

    tabs_->setDocumentMode(true);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->addTab(QStringLiteral("Text"));
    tabs_->addTab(QStringLiteral("Changes"));
    views_->addWidget(SynEditContent);
    views_->addWidget(changes_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        views_->setCurrentIndex(index);
        showChangesIfDue();
    });

    auto *header = new QHBoxLayout;
    header->setContentsMargins(6, 4, 6, 0);
    header->setSpacing(6);
    header->addWidget(new QLabel(QStringLiteral("Content:")));
    header->addWidget(LabelUrl, 1);
    header->addWidget(tabs_, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(views_, 1);
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::attachStore(StoreAccess &store)
{
    comparer_ = std::make_unique<SnapshotComparer>(store);
}

void PreviewPanel::showContent(const QString &url, const QString &content)
{
    LabelUrl->setFullText(url);
    SynEditContent->setPlainText(content);
    SynEditContent->moveCursor(QTextCursor::Start);
    SynEditContent->ensureCursorVisible();
    changesDue_ = true;
    showChangesIfDue();
}

void PreviewPanel::showChangesIfDue()
{
    if (!changesDue_ || tabs_->currentIndex() != ChangesView)
        return;
    changesDue_ = false;
    changes_->showChange(comparer_ ? comparer_->newestChangeOf(url()) : ChangeView{});
}

void PreviewPanel::clear()
{
    LabelUrl->setFullText(QString());
    SynEditContent->clear();
    changes_->clear();
    changesDue_ = false;
}

QString PreviewPanel::url() const
{
    return LabelUrl->fullText();
}

} // namespace sentrel
