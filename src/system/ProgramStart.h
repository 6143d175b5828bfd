#pragma once

#include <QString>

// Starting another program from a command line, read by the rules of CommandLine.h: the first
// word names the program, the rest are its arguments. A bare name is looked for in the current
// folder (relative to the folder itself, never through its path), then on PATH. The program runs
// in the current folder, in a session of its own, and nobody waits for it.
//
// On Windows the line goes to the program exactly as it is, and the window style chooses how it
// shows its window. Elsewhere a Windows program is started through Wine, which honours the style
// too; a native program chooses its own window state.
namespace ProgramStart {

// How a started program shows its window.
constexpr int MinimizedFocus = 2;
constexpr int MaximizedFocus = 3;

// Starts the program and returns at once: an empty string, or the reason it could not be started.
QString start(const QString& commandLine, int windowStyle);

} // namespace ProgramStart
