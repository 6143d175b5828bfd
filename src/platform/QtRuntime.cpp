#include "platform/QtRuntime.h"

#include "platform/CommandLine.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// An ordinary file, or a link that ends at one; directories, devices, pipes, sockets and dangling
// links are not.
bool isOrdinaryFile(const QFileInfo& info) { return info.exists() && info.isFile(); }

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QString QtRuntime::findEntry(const QString& directory, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return {};
    const QDir dir(directory);
    if (isOrdinaryFile(QFileInfo(dir, name)))
        return name;
    // File names on the system this program was made for ignore case; an exact match, above, is
    // preferred, then the first entry that differs only in case.
    QDirIterator entries(directory, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.fileName().compare(name, Qt::CaseInsensitive) == 0 && isOrdinaryFile(info))
            return info.fileName();
    }
    return {};
}

QString QtRuntime::probeEntry(const QString& name, int attributes)
{
    Q_UNUSED(attributes) // Only ordinary files are ever asked for.
    return findEntry(QDir::currentPath(), name);
}

int QtRuntime::messageBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1; // OK, the only button.
}

QString QtRuntime::resolveProgram(const QString& program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/') || program.contains(QDir::separator()))
        return QFileInfo(program).absoluteFilePath();
    const QString local = findEntry(QDir::currentPath(), program);
    if (!local.isEmpty())
        return QDir::current().absoluteFilePath(local);
    return QStandardPaths::findExecutable(program);
}

bool QtRuntime::startProgram(const QString& commandLine, int windowStyle)
{
    const QStringList parts = CommandLine::split(commandLine);
    const QString name = parts.value(0);
    const QString program = resolveProgram(name);
    if (program.isEmpty()) {
        reportError(QStringLiteral("Cannot start %1: file not found.").arg(name));
        return false;
    }

    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QDir::currentPath());
#ifdef Q_OS_WIN
    // Windows hands the line to the program as it is and shows its window in the given state.
    process.setNativeArguments(commandLine.mid(commandLine.indexOf(name) + name.size()));
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments* arguments) {
            arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            arguments->startupInfo->wShowWindow =
                windowStyle == MaximizedFocus ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED;
        });
#else
    // Elsewhere a program chooses its own window state; the style has no effect.
    Q_UNUSED(windowStyle)
    process.setArguments(parts.mid(1));
#endif
    if (!process.startDetached()) {
        reportError(QStringLiteral("Cannot start %1: %2").arg(name, process.errorString()));
        return false;
    }
    return true;
}

void QtRuntime::reportError(const QString& error)
{
    messageBox(error, CriticalOk, QStringLiteral("Didor AzodoVez"));
}
