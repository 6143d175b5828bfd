#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// DOS programs, which Linux cannot run and 64-bit Windows no longer runs, started through DOSBox.
// DOSBox gets the whole start on its command line as -c commands for its own shell: no
// configuration file is written, no system shell is involved, and the user's own DOSBox
// configuration applies as usual. What DOSBox 0.74 can be told that way:
// - Its shell reads the -c commands as lines of its AUTOEXEC.BAT, at most 11 of them: a % must be
//   doubled, and a control character cannot be given at all.
// - MOUNT takes a path in double quotes, which end at the next double quote whatever precedes it,
//   so a path with a double quote in it can be given only unquoted, and then only when it holds
//   no blank and none of < > |, which the shell reads as redirections outside quotes.
// - MOUNT copies "local directory PATH/" into 256 bytes: a longer path crashes DOSBox.
// - On Windows DOSBox turns every ' of a -c command into ", and reads its command line in the
//   ANSI code page.
// - DOS programs open files by 8.3 names, which DOSBox makes up for the host's names in the order
//   it reads each folder (DosBoxShortNames.h).
namespace DosBox {

// The DOSBox program, or an empty string when none is installed. On Linux `dosbox` on PATH; on
// Windows DOSBox.exe on PATH, in `currentFolder`, or in %ProgramFiles% or %ProgramFiles(x86)% or
// a folder of theirs whose name starts with DOSBox, the newest by name first.
QString find(const QString& currentFolder);

// Why the DOS program `name` cannot be started here without DOSBox, and how to install it.
QString notInstalled(const QString& name);
// Why the 16-bit Windows program `name` cannot be started on 64-bit Windows.
QString windows16(const QString& name);

struct Command
{
    QStringList arguments; // for DOSBox, without the DOSBox program itself
    QString error;         // when not empty, why the program cannot be started this way
};

// The arguments that have DOSBox run the DOS program `program` (its name in the current folder)
// with `arguments`, then close. DOSBox must be started in this process's current folder, whose
// path is `currentFolder`; that folder becomes drive C:, the current one.
// The emulator's options (-1 -us -sgx -nojoy -nosound -cd) are passed as they are and empty
// arguments not at all; any other argument is an image's path (relative to the current folder
// when it is not absolute), whose folder becomes a drive of its own (D:, then E:, ...) and which
// is passed as the DOS path that opens that very file. Each of `opticalRoots`, where optical media
// are mounted, becomes a CD-ROM drive on the letters after those, as far as DOSBox's 11 commands
// reach; one that DOSBox cannot be told is left out. A folder that cannot be mounted faithfully,
// or an image without a DOS name, makes an error instead.
Command command(const QString& currentFolder, const QString& program, const QStringList& arguments,
                const QStringList& opticalRoots);

// What differs between the systems (DosBox_posix.cpp, DosBox_win.cpp).
namespace Host {
// The names in `folder` as DOSBox reads them, in its order; an empty list with `error` set when
// the folder cannot be read.
QList<QByteArray> entries(const QString& folder, QString* error);
// `text` in DOSBox's encoding; false when it has none.
bool encode(const QString& text, QByteArray* bytes);
QString decode(const QByteArray& bytes);
// The current folder as DOSBox, started in it, mounts it.
QString currentFolderPath(const QString& currentFolder);
// An image's path made absolute, or relative to DOSBox's current folder, with '/' separators.
QString imagePath(const QString& currentFolder, const QString& path);
// A folder's path as MOUNT takes it.
QString mountPath(const QString& folder);
// Whether DOSBox turns every ' of a -c command into " (on Windows).
bool turnsApostrophes();
// Whether a backslash before a closing quote escapes it on DOSBox's command line (on Windows).
bool backslashEscapesQuote();
// The C library's tolower() of a char as DOSBox is built with it, which it hashes Wine-style names
// with: for a byte above 0x7F, a negative char, glibc gives 0x80..0xFF, Windows' C runtime the
// negative value it was given.
int lowerCase(char c);
} // namespace Host

} // namespace DosBox
