#pragma once

#include "system/Result.h"
#include "system/Styles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Windows programs on Linux: PCE.EXE and the help viewer are Windows programs, which Linux runs
// only through Wine.
namespace Wine {

// The `wine` found on PATH; empty when Wine is not installed.
QString loader();

// The Windows program that Wine itself provides in place of `name`, or an empty string: Wine's
// help viewer is called winhlp32.exe.
QString ownProgram(const QString& name);

// The argument list (the loader first) that has Wine start `program` with `arguments` in the
// folder `folder` (an absolute Linux path), showing its window as `style` asks. A program with a
// folder part is a Linux path, relative to `folder` or absolute; a bare name is one of Wine's own
// programs. The folder and the program's path go in their Windows form, the arguments as
// windowsArgument() gives them (see WineNames.h); fails when one of them has none.
Result<QStringList> command(const QString& loader, const QString& program,
                            const QStringList& arguments, WindowStyle style, const QString& folder);

// The environment for Wine: this program's, with a UTF-8 locale where it has none, because Wine
// reads file names and arguments in the locale's character set.
QList<QByteArray> environment();

// Whether the `wine` on PATH has its 32-bit part, without which it runs neither 32- nor 16-bit
// Windows programs: it is a 32-bit loader itself, has a `wine32` beside it, or, as Debian's script
// does, names one as wine32=PATH; or it is a loader with Wine's 32-bit Windows files in
// ../lib/wine/i386-windows, which runs 32-bit programs itself (WoW64).
bool has32BitPart();
// Why a Windows program for `bits`-bit Windows cannot be started here without it.
QString needs32Bit(const QString& name, int bits);

// Why a Windows program cannot be started here.
QString notInstalled(const QString& name);

} // namespace Wine
