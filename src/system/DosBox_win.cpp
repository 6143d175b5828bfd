#include "system/DosBox.h"

#include "system/FileSystem.h"
#include "system/SystemError.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <windows.h>

namespace DosBox {

QString find(const QString& currentFolder)
{
    const QString name = QStringLiteral("DOSBox.exe");
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty()) {
        const QString here = FileSystem::findInCurrentDirectory(name);
        if (!here.isEmpty())
            found = FileSystem::join(currentFolder, here);
    }
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)"}) {
        const QString base = qEnvironmentVariable(variable);
        if (!found.isEmpty() || base.isEmpty())
            continue;
        // The installer's folder is named after the version ("DOSBox-0.74-3"): the newest first.
        // Chosen here rather than by a name filter, which Qt matches with a regular expression: in
        // a MinGW build the thread that used one can crash as it ends, and this runs in a press's.
        QStringList folders = QDir(base).entryList(QDir::Dirs, QDir::Name | QDir::Reversed);
        folders.removeIf([](const QString& folder) {
            return !folder.startsWith(QLatin1String("DOSBox"), Qt::CaseInsensitive);
        });
        folders.prepend(QStringLiteral("."));
        for (const QString& folder : folders) {
            const QFileInfo program(QDir(base).filePath(folder + u'/' + name));
            if (found.isEmpty() && program.isFile())
                found = QDir::toNativeSeparators(program.absoluteFilePath());
        }
    }
    return QDir::toNativeSeparators(found);
}

QString notInstalled(const QString& name)
{
    return QStringLiteral("%1 is a DOS program, which this system runs only through DOSBox. "
                          "Install DOSBox with its installer and try again")
        .arg(name);
}

namespace Host {

QList<QByteArray> entries(const QString& folder, QString* error)
{
    // DOSBox lists "FOLDER\*.*" with the ANSI functions: the names come in the code page.
    QList<QByteArray> result;
    const std::wstring pattern = FileSystem::join(folder, QStringLiteral("*.*")).toStdWString();
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        *error = systemMessage(int(GetLastError()));
        return result;
    }
    do {
        char name[MAX_PATH * 2];
        const int length =
            WideCharToMultiByte(CP_ACP, 0, data.cFileName, -1, name, sizeof name, nullptr, nullptr);
        result << QByteArray(name, qMax(length - 1, 0));
    } while (FindNextFileW(search, &data));
    const DWORD failure = GetLastError();
    FindClose(search);
    if (failure != ERROR_NO_MORE_FILES) {
        *error = systemMessage(int(failure));
        result.clear();
    }
    return result;
}

bool encode(const QString& text, QByteArray* bytes)
{
    // DOSBox reads its command line in the ANSI code page; a character outside it is lost.
    const std::wstring wide = text.toStdWString();
    if (wide.empty()) {
        bytes->clear();
        return true;
    }
    // Where the ANSI code page is UTF-8 (Windows' "Use Unicode UTF-8 for worldwide language
    // support"), WideCharToMultiByte refuses WC_NO_BEST_FIT_CHARS and the used-default flag; there
    // every character has a form but a lone surrogate, which WC_ERR_INVALID_CHARS refuses.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    BOOL* const noteLoss = utf8 ? nullptr : &lost;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0,
                                         nullptr, noteLoss);
    bytes->resize(size);
    WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), bytes->data(), size, nullptr,
                        noteLoss);
    return size > 0 && !lost;
}

QString decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.constData(), int(bytes.size()), wide.data(), size);
    return QString::fromStdWString(wide);
}

QString currentFolderPath(const QString& currentFolder)
{
    return mountPath(currentFolder);
}

QString imagePath(const QString& currentFolder, const QString& path)
{
    const QString slashed = QDir::fromNativeSeparators(path);
    return QDir::isRelativePath(slashed)
               ? QDir::fromNativeSeparators(currentFolder) + u'/' + slashed
               : slashed;
}

QString mountPath(const QString& folder)
{
    // DOSBox drops a backslash at the end but for a drive's root; so does this.
    QString native = QDir::toNativeSeparators(folder);
    while (native.size() > 3 && native.endsWith(u'\\'))
        native.chop(1);
    return native;
}

bool turnsApostrophes()
{
    return true;
}

bool backslashEscapesQuote()
{
    return true;
}

int lowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

} // namespace Host

} // namespace DosBox
