// Crash safety of everything the program writes: a process killed with
// SIGKILL at a random moment while writing the store, the settings file or
// the exclusion list, and a store whose disk fills up. After a kill the
// store must pass its integrity check and hold every row its writer had been
// told was saved; a rewritten file must be the old or the new one, whole.
#include "storage/exclusions.h"
#include "storage/settings.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"
#include "storetestsupport.h"
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sentrel;
using namespace sentrel::testing;

namespace {

constexpr int kTries = 20;
constexpr int kRows = 200;

QString urlOf(int row)
{
    return QStringLiteral("http://127.0.0.1/page%1").arg(row);
}

QString rowText(int attempt, int pass, int row)
{
    // Long enough that a save spans several pages of the store.
    return QStringLiteral("try %1 pass %2 row %3 ").arg(attempt).arg(pass).arg(row).repeated(40);
}

// When the child is killed: once it has reported `lines` lines (each one a
// finished write), then after `delay` more, so that the kill falls anywhere
// in the writes that follow. The lines make sure of the progress a test
// counts on; the delay only spreads the kills.
struct KillMoment {
    int lines;
    std::chrono::milliseconds delay;
};

// A child process that runs `work` with the write end of a pipe, and is
// killed with SIGKILL at `moment`. Returns what the child wrote before.
std::string runAndKill(const std::function<void(int fd)> &work, KillMoment moment)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        try {
            work(fds[1]);
        } catch (...) {
        }
        _exit(0); // no destructor runs, as after a crash
    }
    close(fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n = 1;
    while (std::count(out.begin(), out.end(), '\n') < moment.lines &&
           (n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, size_t(n));
    std::this_thread::sleep_for(moment.delay);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, size_t(n));
    close(fds[0]);
    return out;
}

void writeAll(int fd, const std::string &text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

QString integrityOf(const DataFolder &folder)
{
    auto raw = folder.raw();
    SqliteStatement check = raw->prepare(u"PRAGMA integrity_check;");
    return check.step() ? check.text(0) : QStringLiteral("no result");
}

TEST(KilledStoreWriter, LeavesAnIntactStoreWithEveryAcknowledgedRow)
{
    DataFolder folder;
    std::map<int, QString> expected; // row -> its text before the try
    {
        auto db = folder.open();
        for (int row = 0; row < kRows; ++row) {
            expected[row] = QStringLiteral("initial %1").arg(row);
            db->DbAddUrl(urlOf(row));
            db->DbSaveWebsite(urlOf(row), expected[row], QStringLiteral("OK"));
        }
    }
    QRandomGenerator random(20261210);
    int acknowledgedTotal = 0, lost = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        SCOPED_TRACE(attempt);
        const int batchSize = random.bounded(1, 120); // 1: every save commits alone
        // After at least one committed group: the check below of the count
        // of acknowledged rows holds whatever the machine's speed.
        const KillMoment moment{random.bounded(1, 4 * kRows),
                                std::chrono::milliseconds(random.bounded(0, 50))};
        // The child saves every row, pass after pass, in groups as a check run
        // does, and reports "pass row" for each save once its group committed.
        const std::string acks = runAndKill(
            [&](int fd) {
                auto db = folder.open();
                for (int pass = 0;; ++pass) {
                    for (int first = 0; first < kRows; first += batchSize) {
                        std::ostringstream done;
                        {
                            StoreBatch batch(*db);
                            for (int row = first; row < std::min(kRows, first + batchSize); ++row) {
                                db->DbSaveWebsite(urlOf(row), rowText(attempt, pass, row),
                                                  QStringLiteral("OK"));
                                done << pass << ' ' << row << '\n';
                            }
                            batch.commit();
                        }
                        writeAll(fd, done.str());
                    }
                }
            },
            moment);

        std::map<int, int> acknowledged; // row -> last pass reported saved
        std::istringstream in(acks);
        for (int pass, row; in >> pass >> row;)
            acknowledged[row] = pass;
        acknowledgedTotal += int(acknowledged.size());

        ASSERT_EQ(integrityOf(folder), u"ok");
        auto db = folder.open();
        const std::vector<ListedWebsite> rows = db->DbLoadWebsites();
        ASSERT_EQ(rows.size(), size_t(kRows)) << "no row lost, none doubled";
        for (int row = 0; row < kRows; ++row) {
            const QString stored = db->lookupRow(urlOf(row))->text(u"CONTENT");
            const auto ack = acknowledged.find(row);
            bool fine = false;
            if (ack == acknowledged.end() && stored == expected[row])
                fine = true; // the old text
            for (int pass = ack == acknowledged.end() ? 0 : ack->second; !fine && pass <= ack->second + 1;
                 ++pass)
                fine = stored == rowText(attempt, pass, row); // a new text, no older than acknowledged
            if (!fine) {
                ++lost;
                ADD_FAILURE() << "row " << row << " holds " << stored.left(60).toStdString();
            }
            expected[row] = stored;
        }
    }
    EXPECT_EQ(lost, 0);
    EXPECT_GT(acknowledgedTotal, 0) << "the kills all came before the first commit";
    // A new writer works on the store the kills left.
    auto db = folder.open();
    db->DbSaveWebsite(urlOf(0), QStringLiteral("after"), QStringLiteral("OK"));
    EXPECT_EQ(db->lookupRow(urlOf(0))->text(u"CONTENT"), u"after");
}

// The two files the program rewrites whole: written with a text of one
// letter, read back as that letter, or '?' when the file is neither whole.
struct RewrittenFile {
    const char *name;
    std::function<void(const QString &folder, const QString &text)> write;
    std::function<QString(const QString &folder)> read;

    friend void PrintTo(const RewrittenFile &file, std::ostream *os) { *os << file.name; }
};

const RewrittenFile rewrittenFiles[] = {
    {"settings file",
     [](const QString &folder, const QString &text) {
         SettingsFile settings = SettingsFile::open(folder);
         settings.writeString(SettingsSection, u"Value", text);
     },
     [](const QString &folder) {
         return SettingsFile::open(folder).readString(SettingsSection, u"Value", {});
     }},
    {"exclusion list",
     [](const QString &folder, const QString &text) {
         QStringList list;
         confirmExclusions(list, folder, text + QStringLiteral("\r\nsecond"));
     },
     [](const QString &folder) {
         const QStringList list = loadExclusions(folder);
         return list.size() == 2 && list[1] == u"second" ? list[0] : QStringLiteral("?");
     }},
};

class KilledFileWriter : public ::testing::TestWithParam<RewrittenFile> {};

TEST_P(KilledFileWriter, LeavesTheOldOrTheNewFileNeverACutOffOne)
{
    constexpr int kLength = 300000; // several writes per rewrite
    DataFolder folder;
    const auto textOf = [](int generation) { return QString(kLength, QChar(u'a' + generation % 26)); };
    GetParam().write(folder.path(), textOf(0));
    QRandomGenerator random(7);
    int lastSeen = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        SCOPED_TRACE(attempt);
        const std::string acks = runAndKill(
            [&](int fd) {
                for (int generation = lastSeen + 1;; ++generation) {
                    GetParam().write(folder.path(), textOf(generation));
                    writeAll(fd, std::to_string(generation) + "\n");
                }
            },
            KillMoment{random.bounded(0, 3), std::chrono::milliseconds(random.bounded(0, 50))});
        int acknowledged = lastSeen;
        std::istringstream in(acks);
        for (int g; in >> g;)
            acknowledged = g;
        const QString text = GetParam().read(folder.path());
        // The acknowledged generation, or the one being written when the kill came.
        const bool whole = text == textOf(acknowledged) || text == textOf(acknowledged + 1);
        ASSERT_TRUE(whole) << "length " << text.size() << " starting " << text.left(3).toStdString();
        lastSeen = text == textOf(acknowledged) ? acknowledged : acknowledged + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, KilledFileWriter, ::testing::ValuesIn(rewrittenFiles), [](const auto &info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

// A disk that fills up, played by a file-size limit in a child process (no
// file may grow past it; the write fails with EFBIG as it would with ENOSPC).
TEST(FullDisk, FailedSavesReportAClearMessageAndLoseNothingStoredBefore)
{
    DataFolder folder;
    {
        auto db = folder.open();
        for (int row = 1; row <= 3; ++row)
            db->DbAddUrl(urlOf(row));
        db->DbSaveWebsite(urlOf(1), QStringLiteral("kept"), QStringLiteral("OK"));
    }
    const std::string report = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        auto db = folder.open();
        SettingsFile settings = SettingsFile::open(folder.path());
        settings.writeString(SettingsSection, u"Small", QStringLiteral("1"));
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t unlimited = limit.rlim_cur;
        limit.rlim_cur = 256 * 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string out;
        try {
            db->DbSaveWebsite(urlOf(2), QString(400000, u'x'), QStringLiteral("OK"));
            out += "store save succeeded;";
        } catch (const StoreError &e) {
            out += "store: " + e.message().toStdString() + ";";
        }
        try {
            settings.writeString(SettingsSection, u"Big", QString(400000, u'y'));
            out += "settings save succeeded;";
        } catch (const Error &e) {
            out += "settings: " + e.message().toStdString() + ";";
        }
        // The program keeps running: once there is room again, saving works.
        limit.rlim_cur = unlimited;
        setrlimit(RLIMIT_FSIZE, &limit);
        db->DbSaveWebsite(urlOf(3), QStringLiteral("later"), QStringLiteral("OK"));
        settings.save();
        out += "later saves work";
        return out;
    });
    EXPECT_NE(report.find("store: "), std::string::npos) << report;
    EXPECT_NE(report.find("settings: The settings could not be saved. Cannot write file"), std::string::npos)
        << report;
    EXPECT_EQ(report.find("Unknown error"), std::string::npos) << "the reason is named: " << report;
    EXPECT_NE(report.find("later saves work"), std::string::npos) << report;
    std::cout << "[ full disk ] " << report << '\n';

    ASSERT_EQ(integrityOf(folder), u"ok");
    auto db = folder.open();
    EXPECT_EQ(db->lookupRow(urlOf(1))->text(u"CONTENT"), u"kept");
    EXPECT_TRUE(db->lookupRow(urlOf(2))->isNull(u"CONTENT")) << "the failed save left nothing half-written";
    EXPECT_EQ(db->lookupRow(urlOf(3))->text(u"CONTENT"), u"later");
    const SettingsFile settings = SettingsFile::open(folder.path());
    EXPECT_EQ(settings.readString(SettingsSection, u"Small", {}), u"1");
    EXPECT_EQ(settings.readString(SettingsSection, u"Big", {}).size(), 400000) << "memory kept the change";
}

} // namespace
