#include "app/actionpage.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include "app/icons.h"
#include "app/intervalbar.h"
#include "app/mainwindow.h"
#include "app/previewpanel.h"
#include "app/urllistview.h"
#include "dialogs/historydialog.h"
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

// The main window's regions from top to bottom, and every command connected
// to its handler.
namespace sentrel {

void TAppForm::buildLayout()
{
    resize(DesignClientSize);
    // The window's design font where the system has it; elsewhere the
    // platform's own font, which reads better than a stand-in squeezed to 11 px.
    QFont designFont(QStringLiteral("Tahoma"));
    designFont.setPixelSize(11);
    if (QFontInfo(designFont).family().compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0)
        setFont(designFont);
    c_ = buildCommands(this);

    intervalBar_ = new IntervalBar;
    ListView1 = new UrlListView(urlModel_);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { c_.PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at)); });
    actionPage_ = new ActionPage;
    SynEditLog = new CodeEditor(true);
    logMenu_ = new EditMenu(SynEditLog);

    PageControl1 = new QTabWidget;
    PageControl1->setDocumentMode(true);
    PageControl1->setIconSize(QSize(16, 16));
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 100px; }"));
    PageControl1->addTab(ListView1, appIcon(AppIcon::ListTab), QStringLiteral("URL List"));
    PageControl1->addTab(actionPage_, appIcon(AppIcon::ActionTab), QStringLiteral("Action"));
    PageControl1->addTab(SynEditLog, appIcon(AppIcon::LogTab), QStringLiteral("Log"));
    PageControl1->setCurrentIndex(0);

    PanelContent = new PreviewPanel;
    PanelContent->attachStore(store_);
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setHandleWidth(6);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(PageControl1);
    Splitter1->addWidget(PanelContent);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    PanelContent->hide();
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        if (PanelContent->isVisible())
            contentHeight_ = PanelContent->height();
    });

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(intervalBar_);
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);

    StatusBar1 = new QLabel;
    StatusBar1->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(true);
}

void TAppForm::connectCommands()
{
    auto on = [this](QAction *action, void (TAppForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    // Toolbar buttons and the menu items that forward to them.
    on(c_.ToolButton3, &TAppForm::ToolButton3Click);
    on(c_.AddURLs1, &TAppForm::ToolButton3Click);
    on(c_.ToolButton2, &TAppForm::ToolButton2Click);
    on(c_.LoadList1, &TAppForm::ToolButton2Click);
    on(c_.ToolButton4, &TAppForm::ToolButton4Click);
    on(c_.SaveList1, &TAppForm::ToolButton4Click);
    on(c_.Exit1, &TAppForm::Exit1Click);
    // A run holds the data folder's run lock until its command ends.
    connect(c_.ToolButton1, &QAction::triggered, this, [this] { ToolButton1Click(); });
    connect(c_.CheckURL1, &QAction::triggered, this, [this] { CheckURL1Click(); });
    on(c_.ToolButton8, &TAppForm::ToolButton8Click);
    on(c_.EditURL1, &TAppForm::EditURL1Click);
    on(c_.History1, &TAppForm::History1Click);
    on(c_.Copy1, &TAppForm::Copy1Click);
    on(c_.OpenURLwithDefaultBrowser1, &TAppForm::OpenURLwithDefaultBrowser1Click);
    on(c_.Delete1, &TAppForm::Delete1Click);
    on(c_.SelectAll1, &TAppForm::SelectAll1Click);
    on(c_.Autostartatstartup1, &TAppForm::Autostartatstartup1Click);
    on(c_.StartMinimized1, &TAppForm::StartMinimized1Click);
    on(c_.MinimizetoSystemTray1, &TAppForm::MinimizetoSystemTray1Click);
    on(c_.Exclusions1, &TAppForm::Exclusions1Click);
    on(c_.ResettoDefaults1, &TAppForm::ResettoDefaults1Click);
    on(c_.Help2, &TAppForm::Help2Click);
    on(c_.ToolButton10, &TAppForm::Help2Click);
    on(c_.SendFeedback1, &TAppForm::SendFeedback1Click);
    on(c_.ToolButton9, &TAppForm::SendFeedback1Click);
    on(c_.About1, &TAppForm::About1Click);
    on(c_.ToolButton7, &TAppForm::About1Click);
    connect(c_.stripMethods, &QActionGroup::triggered, this,
            [this](QAction *item) { guarded([&] { StripMethodClick(item); }); });

    connect(ListView1, &UrlListView::listClicked, this, [this] { guarded([this] { ListView1Click(); }); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { guarded([&] { previewCurrentRow(current); }); });
    connect(ListView1, &UrlListView::deletePressed, this, [this] { guarded([this] { Delete1Click(); }); });
    connect(ListView1, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        guarded([&] {
            openHistoryOfChangedRow(HistoryContext{urlModel_, selection(), store_, *ports_},
                                    urlModel_.idAt(index.row()), this);
        });
    });

    connect(intervalBar_, &IntervalBar::autoCheckClicked, this, [this] { autoCheck_->CheckBox1Click(); });
    connect(intervalBar_, &IntervalBar::intervalTextChanged, this, [this] { autoCheck_->SpinEdit1Change(); });

    // The action settings show a failed rewrite through the caller.
    auto box = [this](QCheckBox *checkBox, void (ActionSettings::*handler)(bool)) {
        connect(checkBox, &QCheckBox::clicked, this, [this, checkBox, handler] {
            guarded([&] { ((*actionSettings_).*handler)(checkBox->isChecked()); });
        });
    };
    box(actionPage_->beepBox(), &ActionSettings::CheckBox2Click);
    box(actionPage_->playSoundBox(), &ActionSettings::CheckBox3Click);
    box(actionPage_->showMessageBox(), &ActionSettings::CheckBox4Click);
    box(actionPage_->openUrlBox(), &ActionSettings::CheckBox5Click);
    connect(actionPage_->soundFileField(), &QLineEdit::textChanged, this,
            [this](const QString &text) { guarded([&] { actionSettings_->Edit1Change(text); }); });
    // Until the first change the choices hold the field's design text.
    choices_.soundFile = actionPage_->soundFileField()->text();
    connect(actionPage_->browseButton(), &QPushButton::clicked, this,
            [this] { guarded([this] { Button1Click(); }); });
}

} // namespace sentrel
