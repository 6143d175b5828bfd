#include "system/FileSystem.h"

#include "system/SystemError.h"

#include <QDir>

#include <windows.h>

namespace FileSystem {

namespace {

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

// Paths longer than the old limit of 260 characters work when given in their \\?\ form.
std::wstring longForm(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() < MAX_PATH - 12 || native.startsWith(QLatin1String("\\\\?\\")))
        return wide(native);
    if (native.startsWith(QLatin1String("\\\\")))
        return wide(QStringLiteral("\\\\?\\UNC\\") + native.mid(2));
    return wide(QStringLiteral("\\\\?\\") + native);
}

// Entries Windows hides from its users, as Explorer does.
bool isHidden(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

} // namespace

struct Directory::Handle
{
    Handle(HANDLE handle, const WIN32_FIND_DATAW& first) : search(handle), data(first) {}
    ~Handle() { FindClose(search); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE search;
    WIN32_FIND_DATAW data;
};

Directory::Directory(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}
Directory::~Directory() = default;

qsizetype rootLength(const QString& slashed)
{
    if (slashed.size() >= 2 && slashed[1] == u':')
        return slashed.size() >= 3 && slashed[2] == u'/' ? 3 : 2;
    if (slashed.startsWith(QLatin1String("//"))) { // \\server\share\ is the root
        const qsizetype afterServer = slashed.indexOf(u'/', 2);
        const qsizetype afterShare = afterServer < 0 ? -1 : slashed.indexOf(u'/', afterServer + 1);
        return afterShare < 0 ? slashed.size() : afterShare + 1;
    }
    return slashed.startsWith(u'/') ? 1 : 0;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString localPath(const QUrl& url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : QString();
}

Result<QString> currentDirectory()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size)
        return Result<QString>::failure(systemMessage(int(GetLastError())));
    QString path = QString::fromWCharArray(buffer.data(), qsizetype(length));
    if (path.startsWith(QLatin1String("\\\\?\\UNC\\")))
        path = QStringLiteral("\\\\") + path.mid(8);
    else if (path.startsWith(QLatin1String("\\\\?\\")))
        path = path.mid(4);
    return path;
}

Result<std::unique_ptr<Directory>> Directory::open(const QString& path)
{
    WIN32_FIND_DATAW first;
    const HANDLE search =
        FindFirstFileExW(longForm(join(path, QStringLiteral("*"))).c_str(), FindExInfoBasic, &first,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return Result<std::unique_ptr<Directory>>::failure(systemMessage(int(GetLastError())));
    return std::make_unique<Directory>(std::make_unique<Handle>(search, first));
}

Result<> Directory::read(const NameFilter& filter, const std::function<bool(const Entry&)>& onEntry,
                         const std::function<bool()>& goOn)
{
    WIN32_FIND_DATAW& data = m_handle->data;
    do {
        if (!goOn())
            return Done();
        const QString name = QString::fromWCharArray(data.cFileName);
        if (name == u"." || name == u".." || isHidden(data.dwFileAttributes))
            continue;
        const QByteArray bytes = name.toUtf8();
        if (filter && !filter(bytes.constData(), std::size_t(bytes.size())))
            continue;
        const Kind kind =
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Directory : Kind::File;
        if (!onEntry(Entry{name, kind}))
            return Done();
    } while (FindNextFileW(m_handle->search, &data));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? Result<>(Done())
                                        : Result<>::failure(systemMessage(int(error)));
}

QString findInCurrentDirectory(const QString& name)
{
    if (name.isEmpty() || name.contains(u'*') || name.contains(u'?') || name.contains(u'/') ||
        name.contains(u'\\') || name.contains(u':'))
        return {};
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide(name).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    FindClose(search);
    // Ordinary files only: read-only and archived files count, folders and the files Windows
    // keeps from its users (hidden or system ones) do not.
    const DWORD attributes = found.dwFileAttributes;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) || isHidden(attributes))
        return {};
    return QString::fromWCharArray(found.cFileName);
}

} // namespace FileSystem
