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
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer's own vfork keeps its caller's return address in memory that the copies share:
// the middle copy's vfork overwrote this process's, which then went on in the middle copy's code
// and ended with status 0. The C library's vfork keeps it in a register; under the sanitizer it is
// called by its other name, which the sanitizer leaves alone. The copies run no code that the
// sanitizer would need to know of (see spawnDetached).
extern "C" pid_t __vfork(); // NOLINT(bugprone-reserved-identifier)
#define DIDOR_VFORK __vfork
#else
#define DIDOR_VFORK vfork
#endif

namespace ProgramStart {

namespace {

// Starts `program` with `arguments` (argv[0] included), byte for byte, in the folder `directory`
// (when given, else in this one), and reports whether the system could run it. The program is the
// grandchild of this process: its parent ends at once and is collected here, so the program belongs
// to the system's reaper and costs this process nothing while it runs.
//
// Both copies are made with vfork: they borrow this process's memory until the program is running
// (or has failed to) instead of copying its page tables, which in a process of this size was most
// of the time from a press to a running emulator. While they borrow it, no handler of this process
// may run in them, so every signal is blocked on this thread until both are done; the program then
// starts with none blocked and every handler back to its default. The copies call only what is safe
// there: system calls, no allocation, no return from this function; what went wrong comes back
// through `failure`, which this process sees because the memory is shared.
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
    // Read in the copies after vfork, so kept where its return cannot overwrite them.
    const char* volatile path = program.constData();
    char* const* volatile argumentList = argv.data();
    char* const* volatile environmentList = envp.data();
    const char* volatile folder = directory;
    volatile int failure = 0;

    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &before);
    // vfork rather than posix_spawn, because the middle copy runs code of its own to hand the
    // program to the system's reaper; that this thread waits until the program runs (or cannot) is
    // intended, as that is how a failed start is reported. So the analyser's checks are off here.
    // NOLINTNEXTLINE(clang-analyzer-security.insecureAPI.vfork)
    const pid_t middle = ::DIDOR_VFORK();
    if (middle == 0) {
        // NOLINTNEXTLINE(clang-analyzer-security.insecureAPI.vfork,clang-analyzer-unix.Vfork)
        const pid_t child = ::DIDOR_VFORK();
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
            if (folder == nullptr || ::chdir(folder) == 0)
                ::execve(path, argumentList, environmentList);
            failure = errno;
            ::_exit(127);
        }
        if (child < 0)
            failure = errno;
        ::_exit(0);
    }
    if (middle < 0) {
        failure = errno;
    } else {
        int status = 0;
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (failure != 0)
        return Result<>::failure(systemMessage(failure));
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
