#include "system/ProgramStart.h"

#include "system/CommandLine.h"
#include "system/DosBox.h"
#include "system/FileSystem.h"
#include "system/SystemError.h"
#include "system/Volumes.h"
#include "system/Wine.h"

#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ProgramStart {

namespace {

// Starts `program` with `arguments` (argv[0] included), byte for byte, in the folder `directory`
// (when given, else in this one), and reports whether the system could run it. The program is the
// grandchild of this process: its parent ends at once and is collected here, so the program belongs
// to the system's reaper and costs this process nothing while it runs. Between fork and exec only
// calls that are safe in a copy of a threaded process.
Result<> spawnDetached(const QByteArray& program, const QList<QByteArray>& arguments,
                       const QList<QByteArray>& environment, const char* directory)
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
        return Result<>::failure(systemMessage(errno));
    const pid_t middle = ::fork();
    if (middle < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return Result<>::failure(systemMessage(error));
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
            if (directory == nullptr || ::chdir(directory) == 0)
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
    if (got == ssize_t(sizeof error))
        return Result<>::failure(systemMessage(error));
    return Done();
}

// The arguments, DOSBox's own path first, that have DOSBox run the DOS program with the
// arguments of `parts`.
Result<QStringList> dosBoxArguments(const Program& program, const QStringList& parts)
{
    const QString name = parts.value(0);
    const Result<QString> folder = FileSystem::currentDirectory();
    if (!folder.ok())
        return Result<QStringList>::failure(folder.reason());
    const QString dosBox = DosBox::find(folder.value());
    if (dosBox.isEmpty())
        return Result<QStringList>::failure(DosBox::notInstalled(name));
    const QString localName = program.path.mid(program.path.lastIndexOf(u'/') + 1);
    const DosBox::Command command =
        DosBox::command(folder.value(), localName, parts.mid(1), Volumes::opticalRoots());
    if (!command.error.isEmpty())
        return Result<QStringList>::failure(command.error);
    return QStringList{dosBox} + command.arguments;
}

} // namespace

Program find(const QString& name)
{
    Program program = inCurrentFolder(name);
    if (program.presence == Presence::Present || name.contains(u'/'))
        return program;
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return Program{Presence::Present, onPath, programKind(onPath)};
    const QString own = Wine::ownProgram(name);
    if (!own.isEmpty() && !Wine::loader().isEmpty())
        return Program{Presence::Present, own, ProgramKind::Windows};
    return program;
}

Result<> start(const Program& program, const QString& commandLine, WindowStyle style,
               const std::function<bool()>& mayStart)
{
    if (program.presence != Presence::Present)
        return Result<>::failure(systemMessage(ENOENT));
    const QStringList parts = CommandLine::split(commandLine);
    for (const QString& part : parts) {
        // The system ends an argument at a NUL; the rest would be lost without a word.
        if (part.contains(QChar(0)))
            return Result<>::failure(QStringLiteral("an argument holds a NUL character"));
    }
    QString executable = program.path;
    QStringList arguments = parts;
    QList<QByteArray> environment;
    const char* directory = nullptr;
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment << QByteArray(*variable);
    if (program.kind == ProgramKind::Windows || program.kind == ProgramKind::Windows32 ||
        program.kind == ProgramKind::Windows16) {
        executable = Wine::loader();
        if (executable.isEmpty())
            return Result<>::failure(Wine::notInstalled(parts.value(0)));
        if (program.kind != ProgramKind::Windows && !Wine::has32BitPart())
            return Result<>::failure(
                Wine::needs32Bit(parts.value(0), program.kind == ProgramKind::Windows16 ? 16 : 32));
        const Result<QString> folder = FileSystem::currentDirectory();
        if (!folder.ok())
            return Result<>::failure(folder.reason());
        const Result<QStringList> command =
            Wine::command(executable, program.path, parts.mid(1), style, folder.value());
        if (!command.ok())
            return Result<>::failure(command.reason());
        arguments = command.value();
        environment = Wine::environment();
        // Wine starts the program in the folder it is given; Wine itself starts at the root, a
        // folder that it can always name.
        directory = "/";
    } else if (program.kind == ProgramKind::Dos) {
        const Result<QStringList> dosBox = dosBoxArguments(program, parts);
        if (!dosBox.ok())
            return Result<>::failure(dosBox.reason());
        arguments = dosBox.value();
        executable = arguments.value(0);
    }
    QList<QByteArray> encoded;
    for (const QString& argument : arguments)
        encoded << FileSystem::encodeName(argument);
    if (mayStart && !mayStart())
        return Result<>::failure(QStringLiteral("the start was called off"));
    return spawnDetached(FileSystem::encodeName(executable), encoded, environment, directory);
}

} // namespace ProgramStart
