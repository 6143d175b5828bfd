#include "system/DosBox.h"

#include "system/DosBoxShortNames.h"
#include "system/FileSystem.h"

#include <QDir>

#include <algorithm>

namespace DosBox {

namespace {

// How MOUNT is given `path`: quoted when it must be, or an empty string when it cannot be given.
QByteArray mountText(const QString& path)
{
    QByteArray bytes;
    if (!Host::encode(path, &bytes))
        return {};
    const bool separated = bytes.endsWith('/') || bytes.endsWith('\\');
    if (bytes.size() + (separated ? 0 : 1) > 239)
        return {};
    for (char c : bytes) {
        if (uchar(c) < 0x20)
            return {};
    }
    if (bytes.contains('\'') && Host::turnsApostrophes())
        return {};
    const bool quoted =
        bytes.contains(' ') || bytes.contains('<') || bytes.contains('>') || bytes.contains('|');
    if (!quoted)
        return bytes;
    // A backslash before the closing quote would escape it on DOSBox's command line.
    if (bytes.endsWith('\\') && Host::backslashEscapesQuote())
        return {};
    return bytes.contains('"') ? QByteArray() : '"' + bytes + '"';
}

bool isOption(const QString& argument)
{
    static const QStringList options = {"-1", "-us", "-sgx", "-nojoy", "-nosound", "-cd"};
    return options.contains(argument);
}

// The entry of `folder` called `name`, as DOSBox names it for DOS; an error when there is none.
QByteArray dosName(const QString& folder, const QString& name, QString* error)
{
    const QList<QByteArray> entries = Host::entries(folder, error);
    if (!error->isEmpty())
        return {};
    const QString path = QDir::toNativeSeparators(FileSystem::join(folder, name));
    QByteArray bytes;
    if (Host::encode(name, &bytes)) {
        // The name as the folder has it, in whatever case the system takes for the same name.
        const auto entry = std::find_if(entries.begin(), entries.end(), [&name](const auto& e) {
            return FileSystem::sameName(Host::decode(e), name);
        });
        if (entry == entries.end()) {
            *error = QStringLiteral("%1 was not found").arg(path);
            return {};
        }
        QByteArray result = shortName(entries, *entry);
        if (!result.isEmpty())
            return result;
    }
    *error = QStringLiteral("%1 has no name that a DOS program can open. Rename it with letters "
                            "and digits only, at most eight before the dot and three after it")
                 .arg(path);
    return {};
}

} // namespace

QString windows16(const QString& name)
{
    return QStringLiteral("%1 is a program for 16-bit Windows, which 64-bit Windows cannot run")
        .arg(name);
}

Command command(const QString& currentFolder, const QString& program, const QStringList& arguments,
                const QStringList& opticalRoots)
{
    Command result;
    QList<QByteArray> mounts, tail;
    // The type comes last, also where it is the default, so that no command ends with the
    // backslash of a root ("E:\"), which would escape the closing quote on DOSBox's Windows
    // command line.
    const auto mount = [&mounts](char letter, const QByteArray& text, const char* type) {
        mounts << QByteArray("mount -u ") + letter
               << QByteArray("mount ") + letter + ' ' + text + type;
    };
    const QString current = Host::currentFolderPath(currentFolder);
    const QByteArray currentText = mountText(current);
    if (currentText.isEmpty()) {
        result.error = QStringLiteral("DOSBox cannot be given the folder %1").arg(currentFolder);
        return result;
    }
    mount('C', currentText, " -t dir");
    const QByteArray programName = dosName(current, program, &result.error);
    if (!result.error.isEmpty())
        return result;

    char letter = 'D';
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        QByteArray option;
        if (isOption(argument) && Host::encode(argument, &option)) {
            tail << option;
            continue;
        }
        const QString path = Host::imagePath(currentFolder, argument);
        const qsizetype cut = path.lastIndexOf(u'/');
        QString folder = path.left(cut);
        if (folder.isEmpty() || folder.endsWith(u':'))
            folder += u'/'; // a root
        const QString mountFolder = Host::mountPath(folder);
        const QByteArray text = mountText(mountFolder);
        QByteArray name;
        if (text.isEmpty()) {
            result.error = QStringLiteral("DOSBox cannot be given the folder %1")
                               .arg(QDir::toNativeSeparators(folder));
        } else if (letter > 'Y') {
            result.error = QStringLiteral("DOSBox has no drive letter left for %1").arg(argument);
        } else {
            name = dosName(mountFolder, path.mid(cut + 1), &result.error);
        }
        if (!result.error.isEmpty())
            return result;
        mount(letter, text, " -t dir");
        tail << letter + QByteArray(":\\") + name;
        ++letter;
    }
    QByteArray line = programName;
    for (const QByteArray& word : tail)
        line += ' ' + word;
    // DOS gives a program at most 126 characters after its name.
    if (line.size() - programName.size() > 126) {
        result.error = QStringLiteral("The command line is too long for a DOS program");
        return result;
    }
    const QList<QByteArray> finish = {"C:", line, "exit"};
    for (const QString& root : opticalRoots) {
        const QByteArray text = mountText(Host::mountPath(root));
        if (text.isEmpty() || letter > 'Y' || mounts.size() + 2 + finish.size() > 11)
            continue;
        mount(letter++, text, " -t cdrom");
    }
    for (QByteArray batchLine : mounts + finish) {
        result.arguments << QStringLiteral("-c")
                         << Host::decode(batchLine.replace("%", "%%")); // batch lines expand %
    }
    return result;
}

} // namespace DosBox
