#include "system/ProgramStart.h"

#include "system/CommandLine.h"
#include "system/DosBox.h"
#include "system/FileSystem.h"
#include "system/SystemError.h"
#include "system/Volumes.h"

#include <windows.h>

namespace ProgramStart {

namespace {

// DOSBox's path and the line that has it run the DOS program with the arguments of `parts`.
Result<QPair<QString, QString>> throughDosBox(const Program& program, const QStringList& parts)
{
    using Line = Result<QPair<QString, QString>>;
    const QString name = parts.value(0);
    const Result<QString> folder = FileSystem::currentDirectory();
    if (!folder.ok())
        return Line::failure(folder.reason());
    const QString dosBox = DosBox::find(folder.value());
    if (dosBox.isEmpty())
        return Line::failure(DosBox::notInstalled(name));
    const QString localName = program.path.mid(program.path.lastIndexOf(u'\\') + 1);
    const DosBox::Command command =
        DosBox::command(folder.value(), localName, parts.mid(1), Volumes::opticalRoots());
    if (!command.error.isEmpty())
        return Line::failure(command.error);
    QString line = CommandLine::quote(dosBox);
    for (const QString& argument : command.arguments)
        line += u' ' + CommandLine::quote(argument);
    return QPair<QString, QString>(dosBox, line);
}

} // namespace

Program find(const QString& name)
{
    Program program = inCurrentFolder(name);
    if (program.presence == Presence::Present)
        return program;
    // SearchPathW answers the length of the path it found, or, where the buffer is too short for
    // it (a folder on PATH may be longer than MAX_PATH), the size it needs, without writing the
    // path: then it is asked again with that size. A PATH that changes between the two asks
    // may need a third.
    const std::wstring wideName = name.toStdWString();
    std::wstring found(MAX_PATH, L'\0');
    for (int tries = 0; tries < 3; ++tries) {
        const DWORD length = SearchPathW(nullptr, wideName.c_str(), nullptr, DWORD(found.size()),
                                         found.data(), nullptr);
        if (length == 0)
            return program;
        if (length < found.size()) {
            const QString path = QString::fromWCharArray(found.data(), int(length));
            return Program{Presence::Present, path, programKind(path)};
        }
        found.resize(length);
    }
    return program;
}

Result<> start(const Program& program, const QString& commandLine, WindowStyle style,
               const std::function<bool()>& mayStart)
{
    const QString name = CommandLine::split(commandLine).value(0);
    if (program.presence != Presence::Present)
        return Result<>::failure(systemMessage(ERROR_FILE_NOT_FOUND));
    // Windows ends the line at a NUL; the rest would be lost without a word.
    if (commandLine.contains(QChar(0)))
        return Result<>::failure(QStringLiteral("an argument holds a NUL character"));
    // 64-bit Windows runs neither 16-bit Windows programs nor DOS programs; DOSBox runs the latter.
    if (program.kind == ProgramKind::Windows16)
        return Result<>::failure(DosBox::windows16(name));
    QString executable = program.path;
    QString line = commandLine;
    if (program.kind == ProgramKind::Dos) {
        const auto dosBox = throughDosBox(program, CommandLine::split(commandLine));
        if (!dosBox.ok())
            return Result<>::failure(dosBox.reason());
        executable = dosBox.value().first;
        line = dosBox.value().second;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        style == WindowStyle::MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process = {};
    // CreateProcessW may write into the line, so it gets a copy. A console program gets a console
    // of its own, as when it is started from Explorer.
    const std::wstring path = executable.toStdWString();
    std::wstring wideLine = line.toStdWString();
    if (mayStart && !mayStart())
        return Result<>::failure(QStringLiteral("the start was called off"));
    if (!CreateProcessW(path.c_str(), wideLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &process)) {
        // Some of Windows' messages name the file as %1 ("%1 is not a valid Win32 application").
        return Result<>::failure(
            systemMessage(int(GetLastError())).replace(QLatin1String("%1"), name));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Done();
}

} // namespace ProgramStart
