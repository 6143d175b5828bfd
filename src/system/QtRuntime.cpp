#include "system/QtRuntime.h"

#include "system/CommandLine.h"
#include "system/FileSystem.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h> // environ
#include <vector>
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

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

#ifdef Q_OS_UNIX
// Starts `program` with `arguments` in a session of its own, so that it outlives this program and
// a signal to the terminal of this program does not reach it. Names and arguments go to the
// system byte for byte. Returns the system's reason on failure, else an empty string.
QString spawnDetached(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> encoded;
    encoded.reserve(std::size_t(arguments.size()) + 1);
    encoded.push_back(FileSystem::encodeName(program));
    for (const QString& argument : arguments)
        encoded.push_back(FileSystem::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& bytes : encoded) {
        // The system ends an argument at a NUL; the rest would be lost without a word.
        if (bytes.contains('\0'))
            return QStringLiteral("an argument holds a NUL character");
        argv.push_back(bytes.data());
    }
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    sigfillset(&signalSet);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);

    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return QString::fromStdString(std::system_category().message(error));
    // Nobody waits for the program, but its exit status must still be collected, or it would
    // linger as a zombie while this program runs.
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return {};
}
#endif

} // namespace

QString QtRuntime::findEntry(const QString& directory, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/') || name.contains(QDir::separator()) || name == u"." ||
        name == u"..")
        return {};
    if (FileSystem::kindOf(FileSystem::join(directory, name)) == FileSystem::Kind::File)
        return name;
    // File names on the system this program was made for ignore case; an exact match, above, is
    // preferred, then the first entry that differs only in case.
    QString reason;
    const auto entries = FileSystem::Directory::open(directory, &reason);
    if (!entries)
        return {};
    const QByteArray wanted = name.toUtf8();
    QString found;
    entries->read(
        [&wanted](const char*, std::size_t length) { return length == std::size_t(wanted.size()); },
        [&](const FileSystem::Entry& entry) {
            if (entry.kind == FileSystem::Kind::File &&
                entry.name.compare(name, Qt::CaseInsensitive) == 0)
                found = entry.name;
            return found.isEmpty();
        });
    return found;
}

QString QtRuntime::probeEntry(const QString& name, int attributes)
{
    Q_UNUSED(attributes) // Only ordinary files are ever asked for.
    return findEntry(FileSystem::currentDirectory(), name);
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
    const QString directory = FileSystem::currentDirectory();
    const QString local = findEntry(directory, program);
    if (!local.isEmpty())
        return FileSystem::join(directory, local);
    return QStandardPaths::findExecutable(program);
}

bool QtRuntime::startProgram(const QString& commandLine, int windowStyle)
{
    const QStringList parts = CommandLine::split(commandLine);
    const QString name = parts.value(0);
    const QString program = resolveProgram(name);
    if (program.isEmpty()) {
        reportError(QStringLiteral("Cannot start %1: No such file or directory").arg(name));
        return false;
    }

#ifdef Q_OS_UNIX
    // A program chooses its own window state here; the style has no effect.
    Q_UNUSED(windowStyle)
    const QString failure = spawnDetached(program, parts.mid(1));
#else
    // Windows hands the line to the program as it is and shows its window in the given state.
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(FileSystem::currentDirectory());
    process.setNativeArguments(commandLine.mid(commandLine.indexOf(name) + name.size()));
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments* arguments) {
            arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            arguments->startupInfo->wShowWindow =
                windowStyle == MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
        });
    const QString failure = process.startDetached() ? QString() : process.errorString();
#endif
    if (!failure.isEmpty()) {
        reportError(QStringLiteral("Cannot start %1: %2").arg(name, failure));
        return false;
    }
    return true;
}

void QtRuntime::reportError(const QString& error)
{
    messageBox(error, CriticalOk, QStringLiteral("Didor AzodoVez"));
}
