#include "platform/QtRuntime.h"

#include "platform/CommandLine.h"
#include "platform/NativeName.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QProcess>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#endif

namespace {

// An ordinary file, or a link that ends at one; directories, devices, pipes, sockets and dangling
// links are not.
bool isOrdinaryFile(const QFileInfo& info)
{
    return info.exists() && info.isFile();
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

#ifndef Q_OS_WIN
// Starts the program `arguments[0]` with exactly these bytes as its argument vector, in the current
// directory, and does not wait for it. QProcess cannot be used here: it converts arguments through
// QString to UTF-8, which alters names that are not valid UTF-8. Gives an empty string, or why the
// program could not be started.
QString startDetached(const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);

    // The grandchild writes the error number of a failed exec here; a successful exec closes it
    // unwritten.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return qt_error_string(errno);
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls from here: the launcher has other threads. The child starts
        // its own session and leaves at once, so the emulator is never our zombie.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            // The launcher may ignore SIGPIPE; the emulator starts with the default.
            (void)signal(SIGPIPE, SIG_DFL);
            execv(argv[0], argv.data());
        }
        const int error = errno;
        if (grandchild > 0)
            _exit(0);
        const ssize_t written = write(report[1], &error, sizeof error);
        _exit(written == sizeof error ? 1 : 2);
    }
    const int forkError = errno;
    close(report[1]);
    if (child < 0) {
        close(report[0]);
        return qt_error_string(forkError);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t received = 0;
    do {
        received = read(report[0], &error, sizeof error);
    } while (received < 0 && errno == EINTR);
    close(report[0]);
    return received == sizeof error ? qt_error_string(error) : QString();
}
#endif

} // namespace

QString QtRuntime::findEntry(const QString& directory, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return {};
    const QDir dir(directory);
    if (isOrdinaryFile(QFileInfo(dir, name)))
        return name;
    // File names on the system this program was made for ignore case; an exact match, above, is
    // preferred, then the first entry that differs only in case.
    QDirIterator entries(directory, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.fileName().compare(name, Qt::CaseInsensitive) == 0 && isOrdinaryFile(info))
            return info.fileName();
    }
    return {};
}

QString QtRuntime::probeEntry(const QString& name, int attributes)
{
    Q_UNUSED(attributes) // Only ordinary files are ever asked for.
    // "." rather than the current path as a string: the system resolves it, so a directory whose
    // name is not valid UTF-8 works as well.
    return findEntry(QStringLiteral("."), name);
}

int QtRuntime::messageBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1; // OK, the only button.
}

QString QtRuntime::resolveProgram(const QString& program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/') || program.contains(QDir::separator()))
        return program;
    // Relative to the current directory, which the started program shares.
    const QString local = findEntry(QStringLiteral("."), program);
    if (!local.isEmpty())
        return QStringLiteral("./") + local;
    return QStandardPaths::findExecutable(program);
}

bool QtRuntime::startProgram(const QString& commandLine, int windowStyle)
{
    const QStringList parts = CommandLine::split(commandLine);
    const QString name = parts.value(0);
    const QString program = resolveProgram(name);
    if (program.isEmpty()) {
        reportError(QStringLiteral("Cannot start %1: file not found.").arg(name));
        return false;
    }

#ifdef Q_OS_WIN
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QDir::currentPath());
    // Windows hands the line to the program as it is and shows its window in the given state.
    process.setNativeArguments(commandLine.mid(commandLine.indexOf(name) + name.size()));
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments* arguments) {
            arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            arguments->startupInfo->wShowWindow =
                windowStyle == MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
        });
    if (!process.startDetached()) {
        reportError(QStringLiteral("Cannot start %1: %2").arg(name, process.errorString()));
        return false;
    }
#else
    // Elsewhere a program chooses its own window state; the style has no effect.
    Q_UNUSED(windowStyle)
    QList<QByteArray> arguments{NativeName::encode(program)};
    for (const QString& argument : parts.mid(1))
        arguments << NativeName::encode(argument);
    // An argument vector ends each argument at a NUL, so such a line would reach the program cut
    // short, naming some other file.
    for (const QByteArray& argument : arguments) {
        if (argument.contains('\0')) {
            reportError(QStringLiteral("Cannot start %1: the command line holds a NUL character.")
                            .arg(name));
            return false;
        }
    }
    const QString failure = startDetached(arguments);
    if (!failure.isEmpty()) {
        reportError(QStringLiteral("Cannot start %1: %2").arg(name, failure));
        return false;
    }
#endif
    return true;
}

void QtRuntime::reportError(const QString& error)
{
    messageBox(error, CriticalOk, QStringLiteral("Didor AzodoVez"));
}
