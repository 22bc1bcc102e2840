#include "checking/checkrun.h"
#include "checking/checkstore.h"
#include "checking/checkurl.h"
#include "checking/notifications.h"
#include "checking/pageloaders.h"
#include "checking/prefetchloader.h"
#include "checking/reductioncache.h"
#include "checking/fetcher.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "storage/datafolder.h"
#include "storage/exclusions.h"
#include "storage/settingskeys.h"
#include "text/lines.h"
#include "text/messages.h"
#include "text/translation.h"
#include <QCoreApplication>
#include <QHash>
#include <memory>
#include <ostream>
#include <vector>

namespace sentrel::cli {

namespace {

constexpr int DefaultJobs = 8;
// Saves of one run share a transaction (one disk sync) for at most this
// many saves or this long.
constexpr SaveGrouping RunSaveGrouping{100, std::chrono::milliseconds(250)};

// The URL list of the run: the store's rows with their two cells.
class CliCheckRows final : public CheckRows {
public:
    struct Row {
        QString url;
        QString lastChange;
        QString status;
        bool selected = false;
    };

    int rowCount() const override { return int(rows_.size()); }
    QString caption(int row) const override { return rows_.at(size_t(row)).url; }
    bool isSelected(int row) const override { return rows_.at(size_t(row)).selected; }
    void setLastChange(int row, const QString &text) override { rows_.at(size_t(row)).lastChange = text; }
    void setStatus(int row, const QString &text) override { rows_.at(size_t(row)).status = text; }

    void append(const QString &url) { rows_.push_back({url, {}, {}, false}); }
    void select(int row) { rows_.at(size_t(row)).selected = true; }
    const QString &status(int row) const { return rows_.at(size_t(row)).status; }

    // The row a user means by `url`: exactly that caption, else the caption
    // the add command would have stored for it; -1 when none.
    int find(const QString &url) const
    {
        for (const QString &wanted : {url, normalizeUrl(url)})
            for (size_t i = 0; i < rows_.size(); ++i)
                if (!wanted.isEmpty() && rows_[i].url == wanted)
                    return int(i);
        return -1;
    }

private:
    std::vector<Row> rows_;
};

// The status bar keeps its last text (the run's outcome is printed after
// the run); log lines go to stderr at once.
class CliDisplay final : public CheckDisplay {
public:
    explicit CliDisplay(std::ostream &err) : err_(err) {}
    void setStatusText(const QString &text) override { statusText_ = text; }
    void appendLog(const QString &line) override
    {
        writeLine(err_, line);
        err_.flush();
    }
    const QString &statusText() const { return statusText_; }

private:
    std::ostream &err_;
    QString statusText_;
};

class FixedPreferences final : public CheckPreferences {
public:
    FixedPreferences(StripMethod method, QStringList exclusions)
        : method_(method), exclusions_(std::move(exclusions))
    {
    }
    StripMethod stripMethod() const override { return method_; }
    const QStringList &exclusions() const override { return exclusions_; }

private:
    StripMethod method_;
    QStringList exclusions_;
};

// No sound, no error box, nothing beeped: errors go to stderr.
class CliRunWindow final : public RunWindow {
public:
    CliRunWindow(CliDisplay &display, std::ostream &err) : display_(display), err_(err) {}
    void setStatusText(const QString &text) override { display_.setStatusText(text); }
    void hideContentPanel() override {}
    void beep() override { nothingChecked_ = true; }
    void showError(const QString &message) override
    {
        writeLine(err_, message);
        failed_ = true;
    }
    bool failed() const { return failed_; }
    bool nothingChecked() const { return nothingChecked_; }

private:
    CliDisplay &display_;
    std::ostream &err_;
    bool failed_ = false;
    bool nothingChecked_ = false;
};

// Of the notifications only the message makes sense without a desktop; it
// is kept and printed after the run's outcome.
class SilentPlatform final : public NotificationPlatform {
public:
    void beep() override {}
    bool fileExists(const QString &) const override { return false; }
    void playSoundAsync(const QString &) override {}
    void openUrl(const QString &) override {}
};

class KeptMessages final : public MessageBoxes {
public:
    void showMessage(MessageKind, const QString &, const QString &text) override { texts.append(text); }
    int confirm(const ConfirmationRequest &) override { return dialogresult::OK; }
    QStringList texts;
};

// Each check's outcome as it finishes: "Status TAB URL".
class PrintingObserver final : public RunObserver {
public:
    PrintingObserver(const CliCheckRows &rows, std::ostream &out) : rows_(rows), out_(out) {}
    void rowChecked(int row) override
    {
        writeLine(out_, rows_.status(row) + u'\t' + rows_.caption(row));
        out_.flush();
    }

private:
    const CliCheckRows &rows_;
    std::ostream &out_;
};

// The message box text with the line ends of a terminal.
QString terminalText(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

StripMethod stripMethodOption(const QString &value)
{
    if (value == u"browser")
        return StripMethod::Browser;
    if (value == u"regex")
        return StripMethod::Regex;
    if (value == u"stringbuilder")
        return StripMethod::StringBuilder;
    throw UsageError(
        QStringLiteral("--strip-method expects browser, regex or stringbuilder, not \"%1\"").arg(value));
}

class CheckCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("check"); }
    QString synopsis() const override
    {
        return QStringLiteral("check [--all | URL...] [--strip-method browser|regex|stringbuilder] [--jobs N]");
    }
    QString summary() const override { return QStringLiteral("check the watched pages for changes"); }
    QString details() const override
    {
        return QStringLiteral(
            "--all checks every URL of the list (\"Check All\"); with URLs, only those rows\n"
            "(\"Check URL\"). Each page is downloaded, reduced by the URL's check options and\n"
            "the exclusion list, and compared with its stored text; a changed text is saved.\n"
            "Prints \"STATUS<TAB>URL\" for every row as its check finishes (OK, Changed!, or\n"
            "the download's error), then the outcome of the run: Complete or No Change\n"
            "Detected. Log lines go to stderr. With ShowMessage ON in settings.ini, the list\n"
            "of changed URLs follows. Nothing is played or opened.\n"
            "--strip-method overrides the settings file's StripMethod for this run.\n"
            "--jobs N downloads up to N pages ahead of the checks (default 8; 1: one at a\n"
            "time). Rows are still checked, saved and printed one by one in list order.\n"
            "Exit code 1 when an error ended the run or a store statement failed.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const bool all = a.flag(QStringLiteral("all"));
        const std::optional<QString> stripOption = a.value(QStringLiteral("strip-method"));
        const std::optional<QString> jobsOption = a.value(QStringLiteral("jobs"));
        const QStringList named = a.positionals();
        if (all == !named.isEmpty())
            throw UsageError(QStringLiteral("expects --all or at least one URL, not both"));
        std::optional<StripMethod> stripOverride;
        if (stripOption)
            stripOverride = stripMethodOption(*stripOption);
        const int jobs = jobsOption ? toInt(*jobsOption, QStringLiteral("--jobs")) : DefaultJobs;
        if (jobs < 1)
            throw UsageError(QStringLiteral("--jobs expects at least 1"));

        const auto db = openStore(global);
        const QString exeDir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        const QString folder = DataFolderFromOption(global.dataDir, exeDir);
        const StartupSettings settings = readStartupSettings(SettingsFile::open(folder));
        const FixedPreferences preferences(stripOverride.value_or(settings.stripMethod), loadExclusions(folder));

        CliCheckRows rows;
        for (const ListedWebsite &w : db->DbLoadWebsites())
            rows.append(w.url);
        QStringList toCheck;
        if (all) {
            for (int i = 0; i < rows.rowCount(); ++i)
                toCheck.append(trim(rows.caption(i)));
        } else {
            for (const QString &url : named) {
                const int row = rows.find(url);
                if (row < 0)
                    throw Error(QStringLiteral("Not in the list: %1").arg(url));
                rows.select(row);
            }
            for (int i = 0; i < rows.rowCount(); ++i)
                if (rows.isSelected(i))
                    toCheck.append(trim(rows.caption(i)));
        }

        WebsiteCheckStore store(*db, RunSaveGrouping);

        // With --jobs above 1 the pages are downloaded, and reduced with the
        // options they have now, ahead of their checks.
        ReductionCache reductions;
        std::unique_ptr<PageLoader> loader;
        if (jobs == 1 || toCheck.size() < 2) {
            loader = std::make_unique<DirectPageLoader>();
        } else {
            QHash<QString, CheckOptions> options;
            for (const QString &url : toCheck) {
                try {
                    if (const std::optional<StoredCheck> row = store.lookup(url))
                        options.insert(url, row->options);
                } catch (const StoreError &) {
                    // The check's own lookup reports it.
                }
            }
            const StripMethod method = preferences.stripMethod();
            const QStringList exclusions = preferences.exclusions();
            auto download = [&reductions, options, method, exclusions](const QString &url) {
                QString text = DownloadPage(url);
                if (const auto it = options.constFind(url); it != options.constEnd())
                    reductions.prepare(url, text, *it, method, exclusions);
                return text;
            };
            loader = std::make_unique<PrefetchingPageLoader>(toCheck, jobs, download);
        }

        CliStoreErrors storeErrors(io.err);
        CliDisplay display(io.err);
        NoEventPump pump;
        SystemClock clock;
        QStringList changed;
        CheckEngine engine(CheckServices{rows, store, storeErrors, display, preferences, pump, *loader, clock,
                                         changed, jobs > 1 ? &reductions : nullptr});

        NotificationChoices choices;
        choices.showMessage = settings.showMessage;
        SilentPlatform platform;
        KeptMessages messages;
        const Translator english;
        ActionNotifier notifier(choices, platform, messages, english);

        CliRunWindow window(display, io.err);
        PrintingObserver observer(rows, io.out);
        CheckRuns runs(RunServices{rows, engine, pump, window, notifier, changed, &observer});
        if (all)
            runs.ToolButton1Click();
        else
            runs.CheckURL1Click();
        loader.reset();
        try {
            store.commit();
        } catch (const StoreError &e) {
            storeErrors.showStoreError(storeErrorText(e));
        }

        if (window.nothingChecked()) {
            writeLine(io.err, QStringLiteral("The list is empty: nothing to check."));
        } else if (!window.failed()) {
            writeLine(io.out, display.statusText());
            for (const QString &text : messages.texts)
                writeLine(io.out, terminalText(text));
        }
        return window.failed() || storeErrors.count() > 0 ? 1 : 0;
    }
};

} // namespace

std::unique_ptr<Command> makeCheckCommand() { return std::make_unique<CheckCommand>(); }

} // namespace sentrel::cli
