#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/storecommand.h"
#include "storage/historysettings.h"

namespace sentrel::cli {

namespace {

// The keys of settings.ini this command reads and writes, in the order it
// lists them. Another whole-number setting needs only a row here.
struct ManagedSetting {
    const IntegerSetting &setting;
    const char *meaning;
};

const ManagedSetting Managed[] = {
    {HistoryMaxVersionsSetting, "how many saved texts of each URL the history keeps"},
    {HistoryMaxAgeDaysSetting, "after how many days a saved text leaves the history\n"
                               "(0: no age limit, only the count)"},
};

QString keyName(const ManagedSetting &m)
{
    return QString::fromUtf16(m.setting.key);
}

// Key names are matched as settings.ini matches them: letter case aside.
const ManagedSetting &managedNamed(const QString &typed)
{
    QStringList known;
    for (const ManagedSetting &m : Managed) {
        if (typed.compare(keyName(m), Qt::CaseInsensitive) == 0)
            return m;
        known.append(keyName(m));
    }
    throw UsageError(QStringLiteral("unknown setting \"%1\" (known: %2)").arg(typed, known.join(u", ")));
}

void printSetting(CliIo &io, const ManagedSetting &m, const SettingsFile &settings)
{
    writeLine(io.out, keyName(m) + u'=' + QString::number(m.setting.read(settings)));
}

SettingsFile openSettings(const QString &folder, CliIo &io)
{
    SettingsFile settings = SettingsFile::open(folder);
    if (!settings.openNotice().isEmpty())
        writeLine(io.err, settings.openNotice());
    return settings;
}

class SettingsCommand : public Command {
public:
    QString name() const override { return QStringLiteral("settings"); }
    QString synopsis() const override { return QStringLiteral("settings [KEY [VALUE]]"); }
    QString summary() const override { return QStringLiteral("print or change program settings"); }
    QString details() const override
    {
        QString text =
            QStringLiteral("Without KEY, prints each setting below as a \"Key=value\" line: the value\n"
                           "settings.ini in the data folder holds, or the default where it holds none\n"
                           "or one that is no whole number in range. With KEY, prints only that value;\n"
                           "with KEY VALUE, writes VALUE to settings.ini once it is checked, then prints\n"
                           "\"Key=value\". Keys are matched whatever their letter case.\n");
        // Each key with its range, its meaning indented under the range.
        const QString indent(22, u' ');
        for (const ManagedSetting &m : Managed) {
            const IntegerSetting &s = m.setting;
            text += QStringLiteral("  %1%2 to %3, default %4\n")
                        .arg(keyName(m).leftJustified(indent.size() - 2))
                        .arg(s.minimum)
                        .arg(s.maximum)
                        .arg(s.defaultValue);
            for (const QString &line : QString::fromUtf8(m.meaning).split(u'\n'))
                text += indent + line + u'\n';
        }
        text += QStringLiteral("A history limit applies to each URL at its next save, which drops the\n"
                               "versions beyond it; until then the URL keeps what it has. sentrel-cli reads\n"
                               "the settings at every run, the desktop program when it starts: while it\n"
                               "runs, it keeps the settings it started with and rewrites settings.ini from\n"
                               "them whenever one of its own settings changes, so change these while it is\n"
                               "closed.");
        return text;
    }

    int run(const QStringList &args, const GlobalOptions &global, CliIo &io) override
    {
        const QStringList words = Arguments(args).positionals();
        if (words.size() > 2)
            throw UsageError(QStringLiteral("expects at most KEY and VALUE"));
        if (words.isEmpty()) {
            const SettingsFile settings = openSettings(dataFolder(global, FolderUse::MustExist), io);
            for (const ManagedSetting &m : Managed)
                printSetting(io, m, settings);
            return 0;
        }
        const ManagedSetting &m = managedNamed(words[0]);
        if (words.size() == 1) {
            // The bare value, for a script to take as it is.
            const SettingsFile settings = openSettings(dataFolder(global, FolderUse::MustExist), io);
            writeLine(io.out, QString::number(m.setting.read(settings)));
            return 0;
        }
        const IntegerSetting &s = m.setting;
        const std::optional<int> value = s.parse(words[1]);
        if (!value)
            throw UsageError(QStringLiteral("%1 expects a whole number from %2 to %3, not \"%4\"")
                                 .arg(keyName(m))
                                 .arg(s.minimum)
                                 .arg(s.maximum)
                                 .arg(words[1]));
        SettingsFile settings = openSettings(dataFolder(global, FolderUse::Create), io);
        // Throws naming the file when it cannot be written (exit 1).
        settings.writeInteger(QStringView(SettingsSection), QStringView(s.key), *value);
        printSetting(io, m, settings);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeSettingsCommand()
{
    return std::make_unique<SettingsCommand>();
}

} // namespace sentrel::cli
