#include "app/autostart.h"
#include "text/error.h"
#include "text/lines.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace sentrel {

QString autostartCommand(const QString &executablePath)
{
    return u'"' + QDir::toNativeSeparators(executablePath) + QStringLiteral("\" /auto");
}

QString xdgAutostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

namespace {

// Desktop entry string values escape these characters with a backslash.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case u's':
            out += u' ';
            break;
        case u'n':
            out += u'\n';
            break;
        case u'r':
            out += u'\r';
            break;
        case u't':
            out += u'\t';
            break;
        default:
            out += next;
        }
    }
    return out;
}

// Within a quoted Exec argument, '"', '`', '$' and '\' take a backslash.
QString quoteExecArguments(const QString &command)
{
    // The command is "<path>" /auto; only the quoted path can hold such
    // characters.
    const qsizetype close = command.lastIndexOf(u'"');
    if (!command.startsWith(u'"') || close <= 0)
        return command;
    QString out = QStringLiteral("\"");
    for (QChar c : QStringView(command).mid(1, close - 1)) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + command.mid(close);
}

QString unquoteExecArguments(const QString &exec)
{
    if (!exec.startsWith(u'"'))
        return exec;
    QString out = QStringLiteral("\"");
    qsizetype i = 1;
    for (; i < exec.size(); ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size()) {
            out += exec[++i];
            continue;
        }
        if (exec[i] == u'"')
            break;
        out += exec[i];
    }
    return out + exec.mid(i);
}

// A window title may hold characters no file name can.
QString fileNameFor(const QString &name)
{
    QString out = name;
    out.replace(u'/', u'_');
    out.replace(QChar(u'\0'), u'_');
    return out;
}

} // namespace

QString desktopEntryText(const QString &name, const QString &command)
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=") + escapeValue(name) +
           QStringLiteral("\nExec=") + escapeValue(quoteExecArguments(command)) +
           QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
}

std::optional<QString> desktopEntryCommand(const QString &fileText)
{
    bool inMainGroup = false;
    bool hidden = false;
    std::optional<QString> command;
    const auto valueOf = [](QStringView line, QStringView key) -> std::optional<QStringView> {
        if (!line.startsWith(key))
            return std::nullopt;
        const QStringView rest = trimmedView(line.mid(key.size()));
        if (!rest.startsWith(u'='))
            return std::nullopt;
        return trimmedView(rest.mid(1));
    };
    for (const QString &line : splitLines(fileText)) {
        const QStringView l = trimmedView(line);
        if (l.startsWith(u'[')) {
            inMainGroup = l == u"[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        if (const auto exec = valueOf(l, u"Exec"); exec && !command)
            command = unquoteExecArguments(unescapeValue(*exec));
        // An entry switched off by the desktop's own settings does not start
        // the program, so it counts as none.
        if (const auto value = valueOf(l, u"Hidden"))
            hidden = hidden || *value == u"true";
        if (const auto value = valueOf(l, u"X-GNOME-Autostart-enabled"))
            hidden = hidden || *value == u"false";
    }
    return hidden ? std::nullopt : command;
}

QString XdgAutostart::entryPath(const QString &name) const
{
    return folder_ + u'/' + fileNameFor(name) + QStringLiteral(".desktop");
}

std::optional<QString> XdgAutostart::read(const QString &name) const
{
    QFile file(entryPath(name));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read the autostart entry ") + file.fileName() +
                    QStringLiteral(": ") + file.errorString());
    return desktopEntryCommand(QString::fromUtf8(file.readAll()));
}

void XdgAutostart::write(const QString &name, const QString &command)
{
    if (!QDir().mkpath(folder_))
        throw Error(QStringLiteral("Cannot create the folder ") + folder_);
    QSaveFile file(entryPath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(desktopEntryText(name, command).toUtf8()) < 0 ||
        !file.commit())
        throw Error(QStringLiteral("Cannot write the autostart entry ") + file.fileName() +
                    QStringLiteral(": ") + file.errorString());
}

void XdgAutostart::remove(const QString &name)
{
    QFile file(entryPath(name));
    if (file.exists() && !file.remove())
        throw Error(QStringLiteral("Cannot delete the autostart entry ") + file.fileName() +
                    QStringLiteral(": ") + file.errorString());
}

#ifdef Q_OS_WIN
namespace {
constexpr char16_t RunKey[] = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void checkStatus(const QSettings &settings, const QString &what)
{
    if (settings.status() != QSettings::NoError)
        throw Error(QStringLiteral("Cannot ") + what +
                    QStringLiteral(" the autostart entry in the registry."));
}
} // namespace

std::optional<QString> RegistryAutostart::read(const QString &name) const
{
    QSettings run(QString::fromUtf16(RunKey), QSettings::NativeFormat);
    const QVariant value = run.value(name);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void RegistryAutostart::write(const QString &name, const QString &command)
{
    QSettings run(QString::fromUtf16(RunKey), QSettings::NativeFormat);
    run.setValue(name, command);
    run.sync();
    checkStatus(run, QStringLiteral("write"));
}

void RegistryAutostart::remove(const QString &name)
{
    QSettings run(QString::fromUtf16(RunKey), QSettings::NativeFormat);
    run.remove(name);
    run.sync();
    checkStatus(run, QStringLiteral("delete"));
}
#endif

AutostartItems autostartItemsAtStartup(const AutostartStore &store, const QString &name,
                                       bool minimizeAtStartup)
{
    AutostartItems items;
    const std::optional<QString> command = store.read(name);
    items.autoRun = command && !command->isEmpty();
    items.minimizeEnabled = items.autoRun;
    items.minimizeAtStartup = minimizeAtStartup;
    return items;
}

void toggleAutostart(AutostartItems &items, AutostartStore &store, const QString &name,
                     const QString &executablePath, const std::function<void(bool)> &setMinimizeAtStartup)
{
    if (items.autoRun) {
        items.autoRun = false;
        store.remove(name);
        if (items.minimizeAtStartup) {
            items.minimizeAtStartup = false;
            setMinimizeAtStartup(false);
        }
        items.minimizeEnabled = false;
    } else {
        items.autoRun = true;
        store.write(name, autostartCommand(executablePath));
        items.minimizeEnabled = true;
    }
}

} // namespace sentrel
