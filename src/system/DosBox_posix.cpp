#include "system/DosBox.h"

#include "system/FileSystem.h"
#include "system/SystemError.h"

#include <QStandardPaths>

#include <cerrno>
#include <dirent.h>

namespace DosBox {

QString find(const QString& currentFolder)
{
    Q_UNUSED(currentFolder)
    return QStandardPaths::findExecutable(QStringLiteral("dosbox"));
}

QString notInstalled(const QString& name)
{
    return QStringLiteral("%1 is a DOS program, which this system runs only through DOSBox. "
                          "Install DOSBox (on Debian and Ubuntu: sudo apt-get install dosbox) "
                          "and try again")
        .arg(name);
}

namespace Host {

QList<QByteArray> entries(const QString& folder, QString* error)
{
    // readdir's order, which is DOSBox's.
    QList<QByteArray> result;
    DIR* handle = ::opendir(FileSystem::encodeName(folder).constData());
    if (handle == nullptr) {
        *error = systemMessage(errno);
        return result;
    }
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(handle);
        if (entry == nullptr)
            break;
        result << QByteArray(entry->d_name);
    }
    if (errno != 0) {
        *error = systemMessage(errno);
        result.clear();
    }
    ::closedir(handle);
    return result;
}

bool encode(const QString& text, QByteArray* bytes)
{
    *bytes = FileSystem::encodeName(text);
    return true;
}

QString decode(const QByteArray& bytes)
{
    return FileSystem::decodeName(bytes);
}

QString currentFolderPath(const QString& currentFolder)
{
    // DOSBox runs in it: "." reaches it whatever its path, however long.
    Q_UNUSED(currentFolder)
    return QStringLiteral(".");
}

QString imagePath(const QString& currentFolder, const QString& path)
{
    Q_UNUSED(currentFolder)
    return path.startsWith(u'/') ? path : QStringLiteral("./") + path;
}

QString mountPath(const QString& folder)
{
    return folder;
}

bool turnsApostrophes()
{
    return false;
}

bool backslashEscapesQuote()
{
    return false;
}

int lowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : uchar(c);
}

} // namespace Host

} // namespace DosBox
