#pragma once

#include <QString>

// What kind of program a file holds, told by its headers: a Windows program (MZ, then PE), a
// 16-bit Windows program (MZ, then NE), a DOS program (MZ alone, or MZ with a DOS extender's LE or
// LX), or a program of the system's own (anything else).
enum class ProgramKind { Native, Windows, Windows16, Dos };

// Reads only the file's headers; a file that cannot be read counts as Native.
ProgramKind programKind(const QString& path);
