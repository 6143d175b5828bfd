#include "platform/QtRuntime.h"

#include "platform/CommandLine.h"

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
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;
#endif

namespace {

// An ordinary file, or a link that ends at one; directories, devices, pipes, sockets and dangling
// links are not.
bool isOrdinaryFile(const QFileInfo& info) { return info.exists() && info.isFile(); }

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
// Starts the program in a session of its own, as a program started from the desktop would be, and
// returns 0 or the reason it could not be run. posix_spawn() starts it without copying this
// process's memory map, as fork() would; QProcess::startDetached() forks twice, which made a press
// of a launch button take more than ten milliseconds. The child is reaped when it ends, by a thread
// that waits for nothing else, so that no finished emulator stays behind as a zombie.
int spawnDetached(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> encoded;
    encoded.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        encoded.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Qt ignores SIGPIPE in this process; the emulator gets the default, and no blocked signals.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    posix_spawnattr_setsigmask(&attributes, &unblocked);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error == 0) {
        std::thread([child] {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return error;
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
    return findEntry(QDir::currentPath(), name);
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
        return QFileInfo(program).absoluteFilePath();
    const QString local = findEntry(QDir::currentPath(), program);
    if (!local.isEmpty())
        return QDir::current().absoluteFilePath(local);
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
    // Elsewhere a program chooses its own window state; the style has no effect. The program
    // inherits the current directory.
    Q_UNUSED(windowStyle)
    if (const int error = spawnDetached(program, parts.mid(1)); error != 0) {
        reportError(QStringLiteral("Cannot start %1: %2")
                        .arg(name, QString::fromLocal8Bit(std::strerror(error))));
        return false;
    }
#endif
    return true;
}

void QtRuntime::reportError(const QString& error)
{
    messageBox(error, CriticalOk, QStringLiteral("Didor AzodoVez"));
}
