#pragma once

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

// The argument list (the loader first) that has Wine start `program` with `arguments`, showing its
// window as `style` asks. A program with a folder part is a Linux path; a bare name is one
// of Wine's own programs. Arguments that are absolute Linux paths go in the Windows form that
// Wine maps them to (see windowsPath()).
QStringList command(const QString& loader, const QString& program, const QStringList& arguments,
                    WindowStyle style);

// The name by which a Windows program under Wine reaches the file at the absolute Linux `path`:
// on drive Z:, with backslashes. A part of the path that is not valid UTF-8 has no faithful long
// name under Wine, so it goes by the short name Wine makes up for it.
QString windowsPath(const QString& path);

// The environment for Wine: this program's, with a UTF-8 locale where it has none, because Wine
// reads file names and arguments in the locale's character set.
QList<QByteArray> environment();

// Why a Windows program cannot be started here.
QString notInstalled(const QString& name);

} // namespace Wine
