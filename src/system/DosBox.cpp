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

// The lines of AUTOEXEC.BAT that have DOSBox run the DOS program, in the order it runs them: the
// MOUNT commands, a pair for each drive from C: on, then the current drive, the program's line
// and "exit", at most 11 in all.
class Batch
{
public:
    static constexpr int MaxLines = 11, FinishingLines = 3;

    char nextLetter() const { return m_letter; }
    // Whether another drive can still be mounted.
    bool hasRoom() const
    {
        return m_letter <= 'Y' && m_mounts.size() + 2 + FinishingLines <= MaxLines;
    }
    // Mounts `text`, a path as MOUNT takes it, on the next letter. The type comes last, also
    // where it is the default, so that no line ends with the backslash of a root ("E:\"), which
    // would escape the closing quote on DOSBox's Windows command line.
    void mount(const QByteArray& text, const char* type)
    {
        m_mounts << QByteArray("mount -u ") + m_letter
                 << QByteArray("mount ") + m_letter + ' ' + text + " -t " + type;
        ++m_letter;
    }
    // The -c arguments that give DOSBox these lines, then the program's `line`.
    QStringList arguments(const QByteArray& line) const
    {
        QStringList result;
        for (QByteArray batchLine : m_mounts + QList<QByteArray>{"C:", line, "exit"})
            result << QStringLiteral("-c") << Host::decode(batchLine.replace("%", "%%"));
        return result;
    }

private:
    QList<QByteArray> m_mounts;
    char m_letter = 'C';
};

// Mounts the current folder as C: and gives the DOS name of `program` in it; an error instead.
QByteArray mountCurrentFolder(Batch* batch, const QString& currentFolder, const QString& program,
                              QString* error)
{
    const QString current = Host::currentFolderPath(currentFolder);
    const QByteArray text = mountText(current);
    if (text.isEmpty()) {
        *error = QStringLiteral("DOSBox cannot be given the folder %1").arg(currentFolder);
        return {};
    }
    batch->mount(text, "dir");
    return dosName(current, program, error);
}

// The program's arguments as DOS gets them: the options as they are, each image by the DOS path
// of a drive of its own, mounted on its folder; an error instead.
QList<QByteArray> mountImages(Batch* batch, const QString& currentFolder,
                              const QStringList& arguments, QString* error)
{
    QList<QByteArray> result;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        QByteArray option;
        if (isOption(argument) && Host::encode(argument, &option)) {
            result << option;
            continue;
        }
        const QString path = Host::imagePath(currentFolder, argument);
        const qsizetype cut = path.lastIndexOf(u'/');
        QString folder = path.left(cut);
        if (folder.isEmpty() || folder.endsWith(u':'))
            folder += u'/'; // a root
        const QString mountFolder = Host::mountPath(folder);
        const QByteArray text = mountText(mountFolder);
        if (text.isEmpty()) {
            *error = QStringLiteral("DOSBox cannot be given the folder %1")
                         .arg(QDir::toNativeSeparators(folder));
            return {};
        }
        if (batch->nextLetter() > 'Y') {
            *error = QStringLiteral("DOSBox has no drive letter left for %1").arg(argument);
            return {};
        }
        const QByteArray name = dosName(mountFolder, path.mid(cut + 1), error);
        if (!error->isEmpty())
            return {};
        result << batch->nextLetter() + QByteArray(":\\") + name;
        batch->mount(text, "dir");
    }
    return result;
}

// The DOS program's command line; an error when DOS cannot take it, which gives a program at
// most 126 characters after its name.
QByteArray programLine(const QByteArray& program, const QList<QByteArray>& arguments,
                       QString* error)
{
    QByteArray line = program;
    for (const QByteArray& argument : arguments)
        line += ' ' + argument;
    if (line.size() - program.size() > 126)
        *error = QStringLiteral("The command line is too long for a DOS program");
    return line;
}

// Mounts each of `roots` as a CD-ROM drive, as far as there is room; one that DOSBox cannot be
// told is left out.
void mountOpticalDrives(Batch* batch, const QStringList& roots)
{
    for (const QString& root : roots) {
        const QByteArray text = mountText(Host::mountPath(root));
        if (!text.isEmpty() && batch->hasRoom())
            batch->mount(text, "cdrom");
    }
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
    Batch batch;
    const QByteArray name = mountCurrentFolder(&batch, currentFolder, program, &result.error);
    if (!result.error.isEmpty())
        return result;
    const QList<QByteArray> tail = mountImages(&batch, currentFolder, arguments, &result.error);
    if (!result.error.isEmpty())
        return result;
    const QByteArray line = programLine(name, tail, &result.error);
    if (!result.error.isEmpty())
        return result;
    mountOpticalDrives(&batch, opticalRoots);
    result.arguments = batch.arguments(line);
    return result;
}

} // namespace DosBox
