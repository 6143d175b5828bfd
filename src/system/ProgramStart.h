#pragma once

#include "system/ProgramKind.h"
#include "system/Result.h"
#include "system/Styles.h"

#include <QString>

#include <functional>

// Finding and starting another program. A command line is read by the rules of CommandLine.h: the
// first word names the program, the rest are its arguments. The program runs in the current
// folder, in a session of its own, and nobody waits for it.
//
// On Windows the line goes to the program exactly as it is, and the window style chooses how it
// shows its window. On Linux a Windows program is started through Wine, which honours the style
// too, and fails to start where Wine offers Windows programs no name for the current folder or a
// path among the arguments (see Wine::windowsPath()); a native program chooses its own window
// state.
namespace ProgramStart {

enum class Presence { Present, Absent };

// A program as it was found: where, and what kind.
struct Program
{
    Presence presence = Presence::Absent;
    // What to start: a path relative to the current folder or absolute, or, for a program that
    // Wine provides itself, its bare name.
    QString path;
    ProgramKind kind = ProgramKind::Native;
};

// The ordinary file `name` in the current folder, looked up relative to the folder itself (see
// FileSystem::findInCurrentDirectory()), never through its path.
Program inCurrentFolder(const QString& name);

// The program `name` in the current folder, else on PATH, else among the programs Wine provides.
Program find(const QString& name);

// Starts `program` with the arguments of `commandLine` and returns at once. `mayStart`, when given,
// is asked once everything is ready, just before the program is started: when it says no, nothing
// is started.
Result<> start(const Program& program, const QString& commandLine, WindowStyle style,
               const std::function<bool()>& mayStart = {});

} // namespace ProgramStart
