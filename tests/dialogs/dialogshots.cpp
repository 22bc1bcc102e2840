// Renders each dialog offscreen to a PNG file:
//   sentrel_dialog_screenshots <output folder>
#include "dialogs/aboutbox.h"
#include "dialogs/editurl.h"
#include "dialogs/exclusionform.h"
#include "dialogs/feedback.h"
#include "dialogs/feedbackpost.h"
#include "dialogs/historydialog.h"
#include "dialogs/messageboxes.h"
#include "fakes.h"
#include "storage/exclusions.h"
#include "text/translation.h"
#include "text/versioninfo.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <cstdio>

using namespace sentrel;
using namespace sentrel::test;

namespace {

bool save(QWidget &widget, const QString &folder, const char *name)
{
    widget.show();
    QApplication::processEvents();
    const QString path = folder + u'/' + QString::fromLatin1(name) + QStringLiteral(".png");
    const bool ok = widget.grab().save(path);
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    widget.hide();
    return ok;
}

class NoPoster : public FormPoster {
public:
    QString post(const QString &, const QList<FormField> &) override { return {}; }
};

class NoErrors : public ExclusionErrorSink {
public:
    void showError(const QString &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(folder);
    bool ok = true;

    TempStore store;
    ListRows rows;
    RecordedErrors errors;
    TFormEditURL edit({rows.model, rows.selection(), store.access(), errors});
    edit.setTarget(0, QStringLiteral("https://www.example.com/news/index.html"));
    edit.CheckBox1->setChecked(true);
    edit.CheckBox5->setChecked(true);
    edit.SpinEdit1->setValue(12);
    edit.SpinEdit2->setValue(40);
    edit.CheckBox3->setChecked(true);
    edit.Edit3->setText(QStringLiteral("//*[@id=\"content\"]/div[@class=\"article\"]"));
    ok &= save(edit, folder, "dialog-edit-url");

    // Three checks of a news page, the last two finding changes.
    const QString news = QStringLiteral("https://www.example.com/news/index.html");
    store.db().DbAddUrl(news);
    const QString headlines =
        QStringLiteral("Top stories\nCity council votes on the new park\nWeather: sunny, 21 "
                       "degrees\nMarkets close higher\nSports: home team wins 2-1\n");
    store.db().DbSaveWebsite(news, headlines, QStringLiteral("OK"));
    QString second = headlines;
    second.replace(QStringLiteral("sunny, 21"), QStringLiteral("cloudy, 17"));
    store.db().DbSaveWebsite(news, second, QStringLiteral("Changed!"));
    QString third = second;
    third.replace(QStringLiteral("votes on"), QStringLiteral("approves"));
    third += QStringLiteral("Traffic: bridge closed until Friday\n");
    store.db().DbSaveWebsite(news, third, QStringLiteral("Changed!"));
    HistoryDialog history(store.access(), news, store.db().history(news));
    ok &= save(history, folder, "dialog-history");

    QStringList exclusions = defaultExclusions();
    NoErrors noErrors;
    TFormExclusion exclusionForm(exclusions, store.folder(), noErrors);
    ok &= save(exclusionForm, folder, "dialog-exclusions");

    Translator english;
    NoPoster poster;
    RecordedBoxes boxes;
    const TEXEVersionData version = readVersionInfo();
    TFeedbackForm feedback({english,
                            version.ProductName,
                            version.windowTitle(),
                            versionText(),
                            QStringLiteral("localhost"),
                            poster,
                            boxes,
                            {}});
    feedback.Panel4->setSelected(true);
    feedback.Memo1->setPlainText(QStringLiteral("The keyword filter is exactly what I needed."));
    feedback.Edit1->setText(QStringLiteral("me@example.org"));
    ok &= save(feedback, folder, "dialog-feedback");

    TAboutBox about(version.ProductName, versionText(), version.LegalCopyright);
    ok &= save(about, folder, "dialog-about");

    ConfirmationRequest restart;
    restart.message = QStringLiteral("Restart Application?");
    restart.kind = DialogKind::Confirmation;
    restart.buttons = {DialogButton::Yes, DialogButton::No};
    restart.caption = QStringLiteral("Confirmation");
    ConfirmationBox confirm(restart);
    ok &= save(confirm, folder, "dialog-confirmation");

    QMessageBox warning(messageIcon(MessageKind::Warning), QStringLiteral("WARNING"),
                        QStringLiteral("No item selected!"), QMessageBox::Ok);
    ok &= save(warning, folder, "dialog-warning");
    return ok ? 0 : 1;
}
