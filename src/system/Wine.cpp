#include "system/Wine.h"

#include "system/FileSystem.h"
#include "system/WineNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include <langinfo.h>
#include <unistd.h>

namespace Wine {

QString loader()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

QString ownProgram(const QString& name)
{
    return name.compare(QLatin1String("WINHELP.EXE"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("winhlp32.exe")
               : QString();
}

Result<QStringList> command(const QString& loader, const QString& program,
                            const QStringList& arguments, WindowStyle style, const QString& folder)
{
    // Wine's `start` is what passes a show state and a current folder on to the program; its
    // options come before the program, and everything after the program goes to the program as
    // it is. The program is named by its Windows path too, since Wine cannot open a path of its
    // own whose long name Windows forbids.
    const Result<QString> directory = windowsPath(folder);
    if (!directory.ok())
        return Result<QStringList>::failure(directory.reason());
    QStringList result{loader, QStringLiteral("start"),
                       style == WindowStyle::MaximizedFocus ? QStringLiteral("/max")
                                                            : QStringLiteral("/min"),
                       QStringLiteral("/d"), directory.value()};
    QStringList paths = arguments;
    if (program.contains(u'/'))
        paths.prepend(FileSystem::clean(
            program.startsWith(u'/') ? program : FileSystem::join(folder, program)));
    else
        result << program;
    for (const QString& argument : paths) {
        const Result<QString> windows = windowsArgument(argument, folder);
        if (!windows.ok())
            return Result<QStringList>::failure(windows.reason());
        result << windows.value();
    }
    return result;
}

QList<QByteArray> environment()
{
    QList<QByteArray> result;
    const bool utf8 = qstrcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (utf8 || !QByteArray(*variable).startsWith("LC_ALL="))
            result << QByteArray(*variable);
    }
    if (!utf8)
        result << QByteArrayLiteral("LC_ALL=C.UTF-8");
    return result;
}

namespace {

// The first bytes of the file at `path`; empty when it cannot be read.
QByteArray head(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

bool is32BitLoader(const QString& path)
{
    return QFileInfo(path).isExecutable() && head(path, 5) == QByteArray("\177ELF\001");
}

} // namespace

bool has32BitPart()
{
    const QString wine = loader();
    if (wine.isEmpty())
        return false;
    const QDir folder = QFileInfo(wine).dir();
    QStringList loaders{wine, folder.filePath(QStringLiteral("wine32"))};
    const QByteArray start = head(wine, 4096);
    // A loader in WoW64 mode runs 32-bit programs itself, with the 32-bit Windows files it has.
    if (start.startsWith("\177ELF") && folder.exists(QStringLiteral("../lib/wine/i386-windows")))
        return true;
    // Debian's and Ubuntu's `wine` is a script that starts the 32-bit loader it names, if present.
    if (start.startsWith("#!")) {
        for (const QByteArray& line : start.split('\n')) {
            if (line.startsWith("wine32="))
                loaders << FileSystem::decodeName(line.mid(7).trimmed());
        }
    }
    return std::any_of(loaders.cbegin(), loaders.cend(), is32BitLoader);
}

QString needs32Bit(const QString& name, int bits)
{
    return QStringLiteral("%1 is a program for %2-bit Windows, which Wine runs only with its "
                          "32-bit part. Install it (on Debian and Ubuntu: sudo dpkg "
                          "--add-architecture i386, sudo apt-get update, then sudo apt-get install "
                          "wine32:i386) and try again")
        .arg(name)
        .arg(bits);
}

QString notInstalled(const QString& name)
{
    return QStringLiteral("%1 is a Windows program, which needs Wine to run here. Install Wine "
                          "(on Debian and Ubuntu, the package wine) and try again")
        .arg(name);
}

} // namespace Wine
