#include "system/ProgramStart.h"

#include "system/CommandLine.h"
#include "system/FileSystem.h"
#include "system/SystemError.h"

#include <windows.h>

namespace ProgramStart {

Program find(const QString& name)
{
    Program program = inCurrentFolder(name);
    if (program.presence == Presence::Present)
        return program;
    wchar_t found[MAX_PATH];
    const std::wstring wideName = name.toStdWString();
    if (SearchPathW(nullptr, wideName.c_str(), nullptr, MAX_PATH, found, nullptr) == 0)
        return program;
    const QString path = QString::fromWCharArray(found);
    return Program{Presence::Present, path, programKind(path)};
}

Result<> start(const Program& program, const QString& commandLine, WindowStyle style)
{
    const QString name = CommandLine::split(commandLine).value(0);
    if (program.presence != Presence::Present)
        return Result<>::failure(systemMessage(ERROR_FILE_NOT_FOUND));
    // Windows ends the line at a NUL; the rest would be lost without a word.
    if (commandLine.contains(QChar(0)))
        return Result<>::failure(QStringLiteral("an argument holds a NUL character"));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = style == WindowStyle::MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process = {};
    // CreateProcessW may write into the line, so it gets a copy. A console program gets a console
    // of its own, as when it is started from Explorer.
    const std::wstring path = program.path.toStdWString();
    std::wstring line = commandLine.toStdWString();
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
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
