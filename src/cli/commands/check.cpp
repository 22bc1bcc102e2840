#include "check/checkrun.h"
#include "check/checkstore.h"
#include "check/checkurl.h"
#include "check/notifications.h"
#include "check/pageloaders.h"
#include "check/prefetchloader.h"
#include "check/reductioncache.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/rowprinter.h"
#include "cli/stopsignals.h"
#include "cli/storecommand.h"
#include "fetch/fetcher.h"
#include "storage/datafolder.h"
#include "storage/exclusions.h"
#include "storage/runlock.h"
#include "storage/settingskeys.h"
#include "text/lines.h"
#include "text/translation.h"
#include "uimodel/messages.h"
#include <QCoreApplication>
#include <QHash>
#include <memory>
#include <ostream>
#include <vector>

namespace sentrel::cli {

namespace {

constexpr int DefaultJobs = 8;
// The exit code of a run that did not wait for another one (EX_TEMPFAIL of
// sysexits.h: try again later).
constexpr int ExitRunLocked = 75;
// The exit code of --fail-on-error when a row's check failed.
constexpr int ExitRowFailed = 3;
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

    // The row a user means by `url` (findListedUrl, as the other commands
    // read their URL arguments); -1 when none.
    int find(const QString &url) const
    {
        const auto indexOf = [this](const QString &caption) {
            for (size_t i = 0; i < rows_.size(); ++i)
                if (rows_[i].url == caption)
                    return int(i);
            return -1;
        };
        const std::optional<QString> listed =
            findListedUrl(url, [&](const QString &caption) { return indexOf(caption) >= 0; });
        return listed ? indexOf(*listed) : -1;
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

// Checks rows until a stop signal came; from then on every row is passed over.
class StoppableChecker final : public RowChecker {
public:
    StoppableChecker(RowChecker &checker, const StopSignals &signals) : checker_(checker), signals_(signals)
    {
    }
    void CheckURL(int row) override
    {
        passedOver_ = signals_.received() != 0;
        if (!passedOver_)
            checker_.CheckURL(row);
    }
    bool passedOver() const { return passedOver_; }

private:
    RowChecker &checker_;
    const StopSignals &signals_;
    bool passedOver_ = false;
};

// Each check's outcome as it finishes goes to the printer, which prints it
// once its save is durable.
class PrintingObserver final : public RunObserver {
public:
    PrintingObserver(const CliCheckRows &rows, const StoppableChecker &checker,
                     const WebsiteCheckStore &store, const CliStoreErrors &storeErrors, RowPrinter &printer)
        : rows_(rows), checker_(checker), store_(store), storeErrors_(storeErrors), printer_(printer)
    {
    }
    void rowChecked(int row) override
    {
        if (!checker_.passedOver())
            printer_.rowDone(rows_.status(row), rows_.caption(row), store_.pendingSaves(),
                             storeErrors_.count());
    }

private:
    const CliCheckRows &rows_;
    const StoppableChecker &checker_;
    const WebsiteCheckStore &store_;
    const CliStoreErrors &storeErrors_;
    RowPrinter &printer_;
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

// The data folder's run lock; waits for another run holding it, saying so,
// or returns nullptr at once with --no-wait.
std::unique_ptr<RunLock> takeRunLock(const QString &folder, bool noWait, std::ostream &err)
{
    if (std::unique_ptr<RunLock> lock = RunLock::tryTake(folder))
        return lock;
    if (noWait) {
        writeLine(err,
                  QStringLiteral("Another check run is under way on this data folder; not waiting for it "
                                 "(--no-wait)."));
        return nullptr;
    }
    writeLine(err, QStringLiteral("Waiting for the check run under way on this data folder to end..."));
    err.flush();
    return RunLock::take(folder);
}

class CheckCommand : public StoreCommand {
public:
    QString name() const override { return QStringLiteral("check"); }
    QString synopsis() const override
    {
        return QStringLiteral(
            "check [--all | URL...] [--strip-method browser|regex|stringbuilder] [--jobs N] "
            "[--fail-on-error] [--no-wait]");
    }
    QString summary() const override { return QStringLiteral("check the watched pages for changes"); }
    QString details() const override
    {
        return QStringLiteral(
            "--all checks every URL of the list (\"Check All\"); with URLs, only those rows\n"
            "(\"Check URL\"). Each page is downloaded, reduced by the URL's check options and\n"
            "the exclusion list, and compared with its stored text; a changed text is saved.\n"
            "Prints \"STATUS<TAB>URL\" for every row, in list order, once what its check\n"
            "saved is durable (OK, Changed!, or the error on one line), then the outcome of\n"
            "the run: Complete or No Change Detected. Log lines go to stderr. With\n"
            "ShowMessage ON in settings.ini, the list of changed URLs follows. Nothing is\n"
            "played or opened. The last line on stderr counts the rows:\n"
            "\"N checked, N changed, N errors\" (errors: rows whose check failed).\n"
            "--strip-method overrides the settings file's StripMethod for this run.\n"
            "--jobs N downloads up to N pages ahead of the checks (default 8; 1: one at a\n"
            "time). Rows are still checked, saved and printed one by one in list order.\n"
            "--fail-on-error exits with 3 when the check of any row failed.\n"
            "One check runs on a data folder at a time: a second one waits for the first\n"
            "(saying so on stderr), or with --no-wait exits with 75 at once.\n"
            "SIGINT (Ctrl-C) or SIGTERM stops the run after the check in progress; what was\n"
            "checked is saved and printed, and the exit code is 130 or 143. A closed\n"
            "standard output (check --all | head -1) stops the printing, not the run.\n"
            "Exit code 1 when an error ended the run or a store statement failed.");
    }

protected:
    int runCommand(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        Arguments a(args);
        const bool all = a.flag(QStringLiteral("all"));
        const std::optional<QString> stripOption = a.value(QStringLiteral("strip-method"));
        const std::optional<QString> jobsOption = a.value(QStringLiteral("jobs"));
        const bool failOnError = a.flag(QStringLiteral("fail-on-error"));
        const bool noWait = a.flag(QStringLiteral("no-wait"));
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
        const std::unique_ptr<RunLock> lock = takeRunLock(folder, noWait, io.err);
        if (!lock)
            return ExitRunLocked;
        // From here on a signal stops the run instead of the process (waiting
        // for the lock, there was nothing to save).
        const StopSignals stopSignals;
        const SettingsFile settingsFile = SettingsFile::open(folder);
        if (!settingsFile.openNotice().isEmpty())
            writeLine(io.err, settingsFile.openNotice());
        const StartupSettings settings = readStartupSettings(settingsFile);
        const FixedPreferences preferences(stripOverride.value_or(settings.stripMethod),
                                           loadExclusions(folder));

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

        // Before the store: a commit in its destructor still finds the printer.
        RowPrinter printer(io.out, io.err);
        WebsiteCheckStore store(*db, RunSaveGrouping);
        store.setCommitListener([&printer](bool durable) { printer.committed(durable); });

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
        StoppableChecker stoppable(engine, stopSignals);
        PrintingObserver observer(rows, stoppable, store, storeErrors, printer);
        CheckRuns runs(RunServices{rows, stoppable, pump, window, notifier, changed, &observer});
        if (all)
            runs.ToolButton1Click();
        else
            runs.CheckURL1Click();
        // Stopped or not, what was checked is made durable and printed
        // before anything else waits (downloads ahead still in flight).
        try {
            store.commit();
        } catch (const StoreError &e) {
            storeErrors.showStoreError(storeErrorText(e));
        }

        const int stopSignal = stopSignals.received();
        if (stopSignal != 0) {
            writeLine(io.err, QStringLiteral("Stopped by a signal: the remaining rows were not checked."));
        } else if (window.nothingChecked()) {
            writeLine(io.err, QStringLiteral("The list is empty: nothing to check."));
        } else if (!window.failed()) {
            writeLine(io.out, display.statusText());
            for (const QString &text : messages.texts)
                writeLine(io.out, terminalText(text));
        }
        io.out.flush();
        writeLine(io.err, tallyText(printer.tally()));
        io.err.flush();
        if (stopSignal != 0)
            return StopSignals::exitCode(stopSignal);
        if (window.failed() || storeErrors.count() > 0)
            return 1;
        return failOnError && printer.tally().errors > 0 ? ExitRowFailed : 0;
    }
};

} // namespace

std::unique_ptr<Command> makeCheckCommand()
{
    return std::make_unique<CheckCommand>();
}

} // namespace sentrel::cli
