#include "dialogs/editurl.h"
#include "check/reduction.h"
#include "html/extract.h"
#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "uimodel/messages.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

namespace sentrel {

QString xpathHint()
{
    return QStringLiteral("Example:\r//*[@id=\"TopBox\"]/div[1]/div[@class=\"draw default\"]");
}

QString regexHint()
{
    return QStringLiteral("Example:\r[a-zA-Z]+");
}

namespace {

// A line number field that, like the form's spin edit, lets a minus sign be
// typed: a negative number or a lone "-" is held as typed and counts as 0,
// and is corrected to 0 when the field loses focus.
class LineSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &text, int &pos) const override
    {
        const QValidator::State state = QSpinBox::validate(text, pos);
        if (state != QValidator::Invalid || !text.startsWith(u'-'))
            return state;
        for (qsizetype i = 1; i < text.size(); ++i)
            if (!text[i].isDigit())
                return QValidator::Invalid;
        return QValidator::Intermediate;
    }
    void fixup(QString &input) const override
    {
        if (input.startsWith(u'-'))
            input = QStringLiteral("0");
        else
            QSpinBox::fixup(input);
    }
};

QSpinBox *lineSpin(QWidget *parent)
{
    auto *spin = new LineSpinBox(parent);
    spin->setRange(0, MaxLineNumber);
    spin->setValue(1);
    // A typed value outside the range is brought into it when the field
    // loses focus, not refused while typing.
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setMinimumWidth(110);
    return spin;
}

// Why every check would fail on an XPath or pattern the dialog stores, or
// nothing when it can be used (or is not used at all).
std::optional<QString> unusableText(const std::optional<QString> &text, void (*validate)(QStringView))
{
    if (!isOn(text))
        return std::nullopt;
    try {
        validate(*text);
    } catch (const Error &error) {
        return error.message();
    }
    return std::nullopt;
}

} // namespace

TFormEditURL::TFormEditURL(EditUrlContext context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      context_(std::move(context))
{
    setWindowTitle(QStringLiteral("Edit"));
    setObjectName(QStringLiteral("FormEditURL"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    auto *urlLabel = new QLabel(QStringLiteral("URL:"), this);
    Edit1 = new QLineEdit(this);
    urlLabel->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(QStringLiteral("Strip HTML"), this);
    CheckBox5 = new QCheckBox(QStringLiteral("Line Range"), this);
    LabelStart = new QLabel(QStringLiteral("Start:"), this);
    SpinEdit1 = lineSpin(this);
    LabelStop = new QLabel(QStringLiteral("Stop:"), this);
    SpinEdit2 = lineSpin(this);
    CheckBox2 = new QCheckBox(QStringLiteral("Keyword"), this);
    Edit2 = new QLineEdit(this);
    CheckBox3 = new QCheckBox(QStringLiteral("XPath"), this);
    Edit3 = new QLineEdit(this);
    CheckBox4 = new QCheckBox(QStringLiteral("RegEx"), this);
    Edit4 = new QLineEdit(this);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setDefault(true);
    for (QPushButton *b : {Button1, Button2})
        b->setMinimumWidth(85);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(urlLabel, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(CheckBox1, 1, 0, 1, 2);
    auto *range = new QHBoxLayout;
    range->addWidget(LabelStart);
    range->addWidget(SpinEdit1);
    range->addSpacing(16);
    range->addWidget(LabelStop);
    range->addWidget(SpinEdit2);
    range->addStretch(1);
    grid->addWidget(CheckBox5, 2, 0);
    grid->addLayout(range, 2, 1);
    grid->addWidget(CheckBox2, 3, 0);
    grid->addWidget(Edit2, 3, 1);
    grid->addWidget(CheckBox3, 4, 0);
    grid->addWidget(Edit3, 4, 1);
    grid->addWidget(CheckBox4, 5, 0);
    grid->addWidget(Edit4, 5, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 14, 14, 12);
    outer->addLayout(grid);
    outer->addStretch(1);
    outer->addLayout(buttons);
    // A fixed-size dialog of the form's size, larger only when the fonts of
    // the system need more room.
    setFixedSize(outer->sizeHint().expandedTo(QSize(522, 234)));

    QWidget::setTabOrder(Edit1, CheckBox1);
    QWidget::setTabOrder(CheckBox1, CheckBox5);
    QWidget::setTabOrder(CheckBox5, SpinEdit1);
    QWidget::setTabOrder(SpinEdit1, SpinEdit2);
    QWidget::setTabOrder(SpinEdit2, CheckBox2);
    QWidget::setTabOrder(CheckBox2, Edit2);
    QWidget::setTabOrder(Edit2, CheckBox3);
    QWidget::setTabOrder(CheckBox3, Edit3);
    QWidget::setTabOrder(Edit3, CheckBox4);
    QWidget::setTabOrder(CheckBox4, Edit4);
    QWidget::setTabOrder(Edit4, Button1);
    QWidget::setTabOrder(Button1, Button2);

    // toggled, not clicked: the rule also holds for changes made by code.
    connect(CheckBox2, &QCheckBox::toggled, this, &TFormEditURL::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TFormEditURL::CheckBox3Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &TFormEditURL::CheckBox4Click);
    connect(CheckBox5, &QCheckBox::toggled, this, &TFormEditURL::CheckBox5Click);
    connect(Button1, &QPushButton::clicked, this, &TFormEditURL::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormEditURL::Button2Click);
    // Escape rejects the dialog (QDialog), as Cancel does.

    FormCreate();
    CheckBox2Click();
    CheckBox3Click();
    CheckBox4Click();
    CheckBox5Click();
}

void TFormEditURL::FormCreate()
{
    Edit3->setToolTip(xpathHint());
    Edit4->setToolTip(regexHint());
}

void TFormEditURL::CheckBox2Click()
{
    Edit2->setEnabled(CheckBox2->isChecked());
}

void TFormEditURL::CheckBox3Click()
{
    Edit3->setEnabled(CheckBox3->isChecked());
}

void TFormEditURL::CheckBox4Click()
{
    Edit4->setEnabled(CheckBox4->isChecked());
}

void TFormEditURL::CheckBox5Click()
{
    const bool on = CheckBox5->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{LabelStart, SpinEdit1, LabelStop, SpinEdit2})
        w->setEnabled(on);
}

WebsiteOptions TFormEditURL::options() const
{
    WebsiteOptions o;
    o.strip = CheckBox1->isChecked();
    o.lineRange = CheckBox5->isChecked();
    if (o.lineRange) {
        // The text as it stands: a field left with "-" or pasted letters
        // counts as 0, not as the last valid value the spin box remembers.
        o.lineStart = lineNumberAsEdited(parseLineNumber(SpinEdit1->cleanText()));
        o.lineStop = lineNumberAsEdited(parseLineNumber(SpinEdit2->cleanText()));
    }
    const auto text = [](const QCheckBox *box, const QLineEdit *edit) {
        return box->isChecked() ? std::optional<QString>(edit->text()) : std::nullopt;
    };
    o.keyword = text(CheckBox2, Edit2);
    o.xpath = text(CheckBox3, Edit3);
    o.regex = text(CheckBox4, Edit4);
    return o;
}

void TFormEditURL::setOptions(const WebsiteOptions &o)
{
    CheckBox1->setChecked(o.strip);
    CheckBox5->setChecked(o.lineRange);
    // Fields of an option that is off keep the form's defaults.
    SpinEdit1->setValue(o.lineStart ? int(*o.lineStart) : 1);
    SpinEdit2->setValue(o.lineStop ? int(*o.lineStop) : 1);
    const auto show = [](QCheckBox *box, QLineEdit *edit, const std::optional<QString> &text) {
        box->setChecked(text.has_value());
        edit->setText(text.value_or(QString()));
    };
    show(CheckBox2, Edit2, o.keyword);
    show(CheckBox3, Edit3, o.xpath);
    show(CheckBox4, Edit4, o.regex);
}

QString TFormEditURL::url() const
{
    return Edit1->text();
}

void TFormEditURL::setTarget(RowId row, const QString &url)
{
    targetRow_ = row;
    targetUrl_ = url;
    Edit1->setText(url);
    try {
        if (const std::optional<WebsiteRecord> record = context_.store.lookup(url))
            setOptions(optionsAsEdited(record->options));
    } catch (const Error &error) {
        context_.errors.showStoreError(storeErrorText(error));
    }
}

std::optional<RowId> TFormEditURL::rowOfTarget() const
{
    const UrlListModel &list = context_.list;
    if (list.contains(targetRow_) && list.url(targetRow_) == targetUrl_)
        return targetRow_;
    return list.findCaption(targetUrl_);
}

void TFormEditURL::Button1Click()
{
    const WebsiteOptions o = options();
    const std::pair<QLineEdit *, std::optional<QString>> checked[] = {
        {Edit3, unusableText(o.xpath, validateXPath)},
        {Edit4, unusableText(o.regex, validateUserRegex)},
    };
    for (const auto &[edit, problem] : checked) {
        if (problem) {
            // Nothing is stored; the dialog stays open for the user to mend it.
            context_.errors.showStoreError(*problem);
            edit->setFocus();
            return;
        }
    }
    const QString newUrl = url();
    try {
        context_.store.editUrl(targetUrl_, newUrl, o);
        if (const std::optional<RowId> row = rowOfTarget())
            context_.list.rename(*row, newUrl);
        // Later OKs of a dialog left open would key on the old URL.
        targetUrl_ = newUrl;
    } catch (const StoreError &error) {
        context_.errors.showStoreError(storeErrorText(error));
    } catch (const Error &error) {
        // The store refused the new URL (listed already) and changed
        // nothing; the dialog stays open for the user to mend it.
        context_.errors.showStoreError(error.message());
        Edit1->setFocus();
        return;
    }
    accept();
}

void TFormEditURL::Button2Click()
{
    reject();
}

TFormEditURL *EditURL1Click(const EditUrlContext &context, QWidget *parent)
{
    const QList<RowId> selected = context.list.inListOrder(context.selection());
    if (selected.isEmpty())
        return nullptr;
    const RowId first = selected.front();
    auto *dialog = new TFormEditURL(context, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setTarget(first, context.list.url(first));
    dialog->setModal(false);
    dialog->show();
    return dialog;
}

TFormEditURL *ToolButton8Click(const EditUrlContext &context, MessageBoxes &boxes, QWidget *parent)
{
    if (context.selection().isEmpty()) {
        boxes.showMessage(MessageKind::Warning, QStringLiteral("WARNING"),
                          QStringLiteral("No item selected!"));
        return nullptr;
    }
    return EditURL1Click(context, parent);
}

} // namespace sentrel
