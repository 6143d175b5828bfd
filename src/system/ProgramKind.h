#pragma once

#include <QString>

class QIODevice;

// What kind of program a file holds, judged from its headers alone.
enum class ProgramKind {
    Native,    // anything without an MZ header: a program of this system, a script, or no program
    Windows,   // MZ with a PE header for another machine than i386: 64-bit Windows
    Windows32, // MZ with a PE header for i386: 32-bit Windows, the kind a Windows PCE.EXE is
    Windows16, // MZ with an NE header: 16-bit Windows, which 64-bit Windows cannot run
    Dos,       // MZ alone, or with an LE or LX header (DOS extenders): a DOS program
};

// Reads at most the first 64 bytes and the 6 bytes where the MZ header says the next header is.
// A file that cannot be opened, or too short for the 28 bytes of an MZ header, counts as Native.
ProgramKind programKind(const QString& path);
// The same for an open device, read from its start.
ProgramKind programKind(QIODevice* device);
