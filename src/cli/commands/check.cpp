#include "check/checkassembly.h"
#include "check/checkrun.h"
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
#include "cli/versiondiff.h"
#include "fetch/fetcher.h"
#include "storage/datafolder.h"
#include "storage/exclusions.h"
#include "storage/groupedsaves.h"
#include "storage/runlock.h"
#include "storage/settingskeys.h"
#include "text/lines.h"
#include "text/translation.h"
#include "uimodel/messages.h"
#include "uimodel/urllistmodel.h"
#include <QCoreApplication>
#include <QHash>
#include <memory>
#include <optional>
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

// The row a user means by `url` (findListedUrl, as the other commands read
// their URL arguments); nullopt when none.
std::optional<RowId> findRow(const UrlListModel &list, const QString &url)
{
    const std::optional<QString> listed =
        findListedUrl(url, [&](const QString &caption) { return list.findCaption(caption).has_value(); });
    return listed ? list.findCaption(*listed) : std::nullopt;
}

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

// Checks rows until a stop signal came; from then on every row is passed
// over, unseen by the observer.
class StoppableChecker final : public RowChecker {
public:
    StoppableChecker(RowChecker &checker, const StopSignals &signals) : checker_(checker), signals_(signals)
    {
    }
    void runStarting(const QStringList &urls) override { checker_.runStarting(urls); }
    void runEnded() override { checker_.runEnded(); }
    CheckOutcome check(RowId row) override
    {
        if (signals_.received() == 0)
            return checker_.check(row);
        CheckOutcome passedOver;
        passedOver.row = row;
        passedOver.gone = true;
        return passedOver;
    }

private:
    RowChecker &checker_;
    const StopSignals &signals_;
};

// Each check's log line goes to stderr at once; its outcome goes to the
// printer, which prints it once its save is durable.
class PrintingObserver final : public CheckObserver {
public:
    PrintingObserver(const UrlListModel &rows, const GroupedSaves &store, const CliStoreErrors &storeErrors,
                     RowPrinter &printer, std::ostream &err)
        : rows_(rows), store_(store), storeErrors_(storeErrors), printer_(printer), err_(err)
    {
    }
    void checkStarted(RowId, const QString &) override {}
    void checkFinished(const CheckOutcome &outcome) override
    {
        if (!outcome.logLine.isEmpty()) {
            writeLine(err_, outcome.logLine);
            err_.flush();
        }
        // A row gone meanwhile (deleted by another program) has no status.
        printer_.rowDone(outcome.status, rows_.url(outcome.row), store_.pendingSaves(), storeErrors_.count());
    }

private:
    const UrlListModel &rows_;
    const GroupedSaves &store_;
    const CliStoreErrors &storeErrors_;
    RowPrinter &printer_;
    std::ostream &err_;
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
            "[--fail-on-error] [--no-wait] [--diff]");
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
            "--diff follows each Changed! row with what changed: the diff of the version\n"
            "before against the new one, as \"sentrel-cli diff URL\" prints it (coloured\n"
            "only on a terminal), so that a mailed report of the run shows the change.\n"
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
        const bool showDiffs = a.flag(QStringLiteral("diff"));
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

        UrlListModel rows;
        {
            std::vector<UrlListRow> listed;
            for (const ListedWebsite &w : db->DbLoadWebsites())
                listed.push_back({w.url, QString(), QString()});
            rows.appendMany(listed);
        }
        QList<RowId> selected;
        for (const QString &url : named) {
            const std::optional<RowId> row = findRow(rows, url);
            if (!row)
                throw Error(QStringLiteral("Not in the list: %1").arg(url));
            if (!selected.contains(*row))
                selected.append(*row);
        }
        selected = rows.inListOrder(selected);

        // Before the store: a commit in its destructor still finds the printer.
        RowPrinter printer(io.out, io.err);
        bool diffFailed = false;
        if (showDiffs) {
            // The printer calls it once the row's save is durable, outside
            // any transaction of the run, so both texts can be read back.
            printer.setChangeFollower([&db, &io, &diffFailed](const QString &url) {
                try {
                    writeText(io.out, latestChangeDiff(*db, url, io.out));
                } catch (const StoreError &e) {
                    writeLine(io.err, storeErrorText(e));
                    diffFailed = true;
                } catch (const Error &e) {
                    writeLine(io.err, e.message());
                    diffFailed = true;
                }
            });
        }
        GroupedSaves store(*db, RunSaveGrouping);
        store.setCommitListener([&printer](bool durable) { printer.committed(durable); });

        CliStoreErrors storeErrors(io.err);
        PrintingObserver observer(rows, store, storeErrors, printer, io.err);
        NoEventPump pump;
        SystemClock clock;
        QStringList changed;
        // With --jobs above 1 the pages are downloaded, and reduced with the
        // options they have now, ahead of their checks.
        CheckAssembly engine(CheckAssemblyParts{rows, store, storeErrors, observer, preferences, pump, clock,
                                                pageDownload(), jobs});

        StoppableChecker stoppable(engine, stopSignals);
        CheckRuns runs(RunServices{rows, [&selected] { return selected; }, stoppable, pump, changed, {}});
        RunOutcome outcome;
        bool failed = false;
        try {
            outcome = all ? runs.checkAll() : runs.checkSelected();
        } catch (const std::exception &e) {
            // The run ended at the row whose check raised it.
            writeLine(io.err, errorMessage(e));
            failed = true;
        }
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
        } else if (failed) {
            // Said on stderr already.
        } else if (outcome.nothingChecked()) {
            writeLine(io.err, QStringLiteral("The list is empty: nothing to check."));
        } else {
            writeLine(io.out, outcome.statusText);
            // Of the notifications only the message makes sense without a
            // desktop; nothing is played or opened.
            if (settings.showMessage && !outcome.changedUrls.isEmpty())
                writeLine(io.out, terminalText(changedUrlsMessage(outcome.changedUrls)));
        }
        io.out.flush();
        writeLine(io.err, tallyText(printer.tally()));
        io.err.flush();
        if (stopSignal != 0)
            return StopSignals::exitCode(stopSignal);
        if (failed || storeErrors.count() > 0 || diffFailed)
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
