#include "system/ProgramStart.h"

#include "system/CommandLine.h"
#include "system/FileSystem.h"
#include "system/SystemError.h"

#include <QStandardPaths>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "system/Wine.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#endif

namespace ProgramStart {

#ifdef Q_OS_WIN

QString start(const QString& commandLine, int windowStyle)
{
    // Windows ends the line at a NUL; the rest would be lost without a word.
    if (commandLine.contains(QChar(0)))
        return QStringLiteral("an argument holds a NUL character");
    const QString name = CommandLine::split(commandLine).value(0);
    std::wstring program;
    const QString local = FileSystem::findInCurrentDirectory(name);
    if (!local.isEmpty()) {
        program = local.toStdWString(); // a bare name is completed with the current folder
    } else {
        wchar_t found[MAX_PATH];
        const std::wstring wideName = name.toStdWString();
        if (SearchPathW(nullptr, wideName.c_str(), nullptr, MAX_PATH, found, nullptr) == 0)
            return systemMessage(ERROR_FILE_NOT_FOUND);
        program = found;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = windowStyle == MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process = {};
    // CreateProcessW may write into the line, so it gets a copy. A console program gets a console
    // of its own, as when it is started from Explorer.
    std::wstring line = commandLine.toStdWString();
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &process)) {
        // Some of Windows' messages name the file as %1 ("%1 is not a valid Win32 application").
        return systemMessage(int(GetLastError())).replace(QLatin1String("%1"), name);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

#else

namespace {

// Starts `program` with `arguments` (argv[0] included), byte for byte, and reports whether the
// system could run it. The program is the grandchild of this process: its parent ends at once and
// is collected here, so the program belongs to the system's reaper and costs this process nothing
// while it runs. Between fork and exec only calls that are safe in a copy of a threaded process.
QString spawnDetached(const QByteArray& program, const QList<QByteArray>& arguments,
                      const QList<QByteArray>& environment)
{
    const auto pointers = [](const QList<QByteArray>& strings) {
        std::vector<char*> result;
        for (const QByteArray& string : strings)
            result.push_back(const_cast<char*>(string.constData()));
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);

    int report[2]; // the program's side writes errno when exec fails; exec closes it otherwise
    if (::pipe2(report, O_CLOEXEC) != 0)
        return systemMessage(errno);
    const pid_t middle = ::fork();
    if (middle < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return systemMessage(error);
    }
    if (middle == 0) {
        const pid_t child = ::fork();
        if (child == 0) {
            // A fresh program: a session of its own, no signal blocked or ignored.
            ::setsid();
            struct sigaction standard = {};
            standard.sa_handler = SIG_DFL;
            for (int signal = 1; signal < NSIG; ++signal)
                ::sigaction(signal, &standard, nullptr);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::execve(program.constData(), argv.data(), envp.data());
        }
        const int error = errno;
        if (child < 0 || child == 0)
            (void)!::write(report[1], &error, sizeof error);
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return got == ssize_t(sizeof error) ? systemMessage(error) : QString();
}

} // namespace

QString start(const QString& commandLine, int windowStyle)
{
    const QStringList parts = CommandLine::split(commandLine);
    const QString name = parts.value(0);
    for (const QString& part : parts) {
        // The system ends an argument at a NUL; the rest would be lost without a word.
        if (part.contains(QChar(0)))
            return QStringLiteral("an argument holds a NUL character");
    }
    QString program = name;
    if (!name.contains(u'/')) {
        const QString local = FileSystem::findInCurrentDirectory(name);
        program = local.isEmpty() ? QStandardPaths::findExecutable(name)
                                  : QStringLiteral("./") + local;
    }
    QStringList arguments = parts;
    QList<QByteArray> environment;
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment << QByteArray(*variable);
    if (program.isEmpty() || Wine::isWindowsProgram(program)) {
        const QString wine = Wine::loader();
        const QString windowsProgram = program.isEmpty() ? Wine::ownProgram(name) : program;
        if (windowsProgram.isEmpty())
            return systemMessage(ENOENT);
        if (wine.isEmpty())
            return Wine::notInstalled(name);
        arguments = Wine::command(wine, windowsProgram, parts.mid(1), windowStyle);
        environment = Wine::environment();
        program = wine;
    }
    QList<QByteArray> encoded;
    for (const QString& argument : arguments)
        encoded << FileSystem::encodeName(argument);
    return spawnDetached(FileSystem::encodeName(program), encoded, environment);
}

#endif

} // namespace ProgramStart
