#include "system/FileSystem.h"

#include "system/SystemError.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileSystem {

namespace {

constexpr char16_t EscapeBase = 0xDC00; // stray byte b is kept as EscapeBase + b (b >= 0x80)

// The length of the valid UTF-8 sequence at `s`, or 0 when it is not one; `code` receives the
// character it stands for.
int utf8Sequence(const unsigned char* s, std::size_t available, char32_t* code)
{
    const unsigned char lead = s[0];
    int length;
    char32_t minimum;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (available < std::size_t(length))
        return 0;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (s[i] & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (value < minimum || value > 0x10FFFF || surrogate)
        return 0;
    *code = value;
    return length;
}

} // namespace

QString decodeName(const QByteArray& bytes)
{
    // Decoded here rather than by Qt, which would also drop a byte-order mark at the start.
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const std::size_t size = std::size_t(bytes.size());
    QString name;
    name.reserve(qsizetype(size));
    std::size_t i = 0;
    while (i < size) {
        char32_t code = 0;
        const int length = utf8Sequence(data + i, size - i, &code);
        if (length == 0) {
            name += QChar(char16_t(EscapeBase + data[i]));
            ++i;
        } else if (code >= 0x10000) {
            name += QChar(QChar::highSurrogate(code));
            name += QChar(QChar::lowSurrogate(code));
            i += std::size_t(length);
        } else {
            name += QChar(char16_t(code));
            i += std::size_t(length);
        }
    }
    return name;
}

QByteArray encodeName(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0; // the run of ordinary text not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool escapedByte = c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF;
        const bool pairedWithHigh = i > 0 && name[i - 1].isHighSurrogate();
        if (escapedByte && !pairedWithHigh) {
            bytes += name.mid(start, i - start).toUtf8();
            bytes += char(c - EscapeBase);
            start = i + 1;
        }
    }
    bytes += name.mid(start).toUtf8();
    return bytes;
}

QChar separator()
{
    return QDir::separator();
}

QString join(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'/') || folder.endsWith(separator()))
        return folder + name;
    return folder + separator() + name;
}

QStringList partsOf(const QString& path, QString* root)
{
    const QString slashed = QDir::fromNativeSeparators(path);
    qsizetype rootLength = slashed.startsWith(u'/') ? 1 : 0;
#ifdef Q_OS_WIN
    if (slashed.size() >= 2 && slashed[1] == u':')
        rootLength = slashed.size() >= 3 && slashed[2] == u'/' ? 3 : 2;
    else if (slashed.startsWith(QLatin1String("//"))) { // \\server\share\ is the root
        const qsizetype afterServer = slashed.indexOf(u'/', 2);
        const qsizetype afterShare = afterServer < 0 ? -1 : slashed.indexOf(u'/', afterServer + 1);
        rootLength = afterShare < 0 ? slashed.size() : afterShare + 1;
    }
#endif
    *root = QDir::toNativeSeparators(slashed.left(rootLength));
    if (!root->isEmpty() && !root->endsWith(separator()))
        *root += separator();
    return slashed.mid(rootLength).split(u'/', Qt::SkipEmptyParts);
}

QString localPath(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(url.toLocalFile());
#else
    // The URL's escapes stand for the name's bytes, which need not be UTF-8.
    return decodeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
#endif
}

QString clean(const QString& path)
{
    QString absolute = path;
    if (QDir::isRelativePath(path)) {
        QString ignored;
        absolute = join(currentDirectory(&ignored), path);
    }
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(absolute)));
}

#ifdef Q_OS_WIN

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

class WindowsDirectory : public Directory
{
public:
    WindowsDirectory(HANDLE search, const WIN32_FIND_DATAW& first) : m_search(search), m_data(first)
    {
    }
    ~WindowsDirectory() override { FindClose(m_search); }

    QString read(const NameFilter& filter, const std::function<bool(const Entry&)>& onEntry,
                 const std::function<bool()>& cancelled) override
    {
        do {
            if (cancelled())
                return {};
            const QString name = QString::fromWCharArray(m_data.cFileName);
            // Hidden entries stay hidden, as in Explorer.
            if (name == u"." || name == u".." || (m_data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
                continue;
            const QByteArray bytes = name.toUtf8();
            if (filter && !filter(bytes.constData(), std::size_t(bytes.size())))
                continue;
            const Kind kind =
                (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Directory : Kind::File;
            if (!onEntry(Entry{name, kind}))
                return {};
        } while (FindNextFileW(m_search, &m_data));
        const DWORD error = GetLastError();
        return error == ERROR_NO_MORE_FILES ? QString() : systemMessage(int(error));
    }

private:
    HANDLE m_search;
    WIN32_FIND_DATAW m_data;
};

} // namespace

QString currentDirectory(QString* error)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size) {
        *error = systemMessage(int(GetLastError()));
        return {};
    }
    QString path = QString::fromWCharArray(buffer.data(), qsizetype(length));
    if (path.startsWith(QLatin1String("\\\\?\\UNC\\")))
        path = QStringLiteral("\\\\") + path.mid(8);
    else if (path.startsWith(QLatin1String("\\\\?\\")))
        path = path.mid(4);
    return path;
}

std::unique_ptr<Directory> Directory::open(const QString& path, QString* error)
{
    WIN32_FIND_DATAW first;
    const HANDLE search = FindFirstFileExW(longForm(join(path, QStringLiteral("*"))).c_str(),
                                           FindExInfoBasic, &first, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        *error = systemMessage(int(GetLastError()));
        return nullptr;
    }
    return std::make_unique<WindowsDirectory>(search, first);
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
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {};
    return QString::fromWCharArray(found.cFileName);
}

#else

namespace {

Kind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Directory;
    return Kind::Other;
}

// Opens a folder by a path of any length: one the system takes whole as it is, a longer one a
// part at a time, each relative to the folder opened before it.
int openFolder(const QByteArray& path)
{
    constexpr int Flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (path.size() < PATH_MAX)
        return ::open(path.constData(), Flags);
    // The folders on the way need only be passed through, not read.
    int folder = ::open(path.startsWith('/') ? "/" : ".", O_PATH | Flags);
    for (const QByteArray& part : path.split('/')) {
        if (folder < 0 || part.isEmpty())
            continue;
        const int next = ::openat(folder, part.constData(), O_PATH | Flags);
        const int error = errno;
        ::close(folder);
        folder = next;
        errno = error;
    }
    if (folder < 0)
        return folder;
    const int readable = ::openat(folder, ".", Flags);
    const int error = errno;
    ::close(folder);
    errno = error;
    return readable;
}

class PosixDirectory : public Directory
{
public:
    explicit PosixDirectory(DIR* handle) : m_handle(handle) {}
    ~PosixDirectory() override { ::closedir(m_handle); }

    QString read(const NameFilter& filter, const std::function<bool(const Entry&)>& onEntry,
                 const std::function<bool()>& cancelled) override
    {
        const int folder = ::dirfd(m_handle);
        while (!cancelled()) {
            errno = 0;
            const dirent* entry = ::readdir(m_handle);
            if (entry == nullptr)
                return errno == 0 ? QString() : systemMessage(errno);
            const char* name = entry->d_name;
            const std::size_t length = std::strlen(name);
            if (name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.')))
                continue;
            if (filter && !filter(name, length))
                continue;
            Kind kind = Kind::Other; // pipes, sockets, devices: never opened
            if (entry->d_type == DT_REG) {
                kind = Kind::File;
            } else if (entry->d_type == DT_DIR) {
                kind = Kind::Directory;
            } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                // Links are followed; only the file system knows where they end.
                struct stat status;
                kind = ::fstatat(folder, name, &status, 0) == 0 ? kindOfMode(status.st_mode)
                                                                : Kind::Missing;
            }
            if (!onEntry(Entry{decodeName(QByteArray::fromRawData(name, qsizetype(length))), kind}))
                break;
        }
        return {};
    }

private:
    DIR* m_handle;
};

} // namespace

QString currentDirectory(QString* error)
{
    // The C library finds the path of a folder however long it is.
    char* path = ::getcwd(nullptr, 0);
    if (path == nullptr) {
        *error = systemMessage(errno);
        return {};
    }
    QString name = decodeName(QByteArray(path));
    std::free(path);
    return name;
}

std::unique_ptr<Directory> Directory::open(const QString& path, QString* error)
{
    const int folder = openFolder(encodeName(path));
    DIR* handle = folder < 0 ? nullptr : ::fdopendir(folder);
    if (handle == nullptr) {
        *error = systemMessage(errno);
        if (folder >= 0)
            ::close(folder);
        return nullptr;
    }
    return std::make_unique<PosixDirectory>(handle);
}

QString findInCurrentDirectory(const QString& name)
{
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return {};
    const QByteArray exact = encodeName(name);
    struct stat status;
    if (::fstatat(AT_FDCWD, exact.constData(), &status, 0) == 0 && S_ISREG(status.st_mode))
        return name;
    QString error;
    const auto entries = Directory::open(QStringLiteral("."), &error);
    if (!entries)
        return {};
    QString found;
    entries->read(
        [&exact](const char*, std::size_t length) { return length == std::size_t(exact.size()); },
        [&](const Entry& entry) {
            if (entry.kind == Kind::File && entry.name.compare(name, Qt::CaseInsensitive) == 0)
                found = entry.name;
            return found.isEmpty();
        },
        [] { return false; });
    return found;
}

#endif

} // namespace FileSystem
