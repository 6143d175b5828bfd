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
// programs. The folder, the program's path and the arguments that are absolute Linux paths go in
// their Windows form (see WineNames.h); fails when one of them has none.
Result<QStringList> command(const QString& loader, const QString& program,
                            const QStringList& arguments, WindowStyle style, const QString& folder);

// The environment for Wine: this program's, with a UTF-8 locale where it has none, because Wine
// reads file names and arguments in the locale's character set.
QList<QByteArray> environment();

// Whether Wine has its 32-bit part, without which it cannot run 16-bit Windows programs: a 32-bit
// `wine` loader, a `wine32` on PATH, or Debian's 32-bit loader beside its `wine` script.
bool runs16Bit();
// Why a 16-bit Windows program cannot be started here without it.
QString needs32Bit(const QString& name);

// Why a Windows program cannot be started here.
QString notInstalled(const QString& name);

} // namespace Wine
