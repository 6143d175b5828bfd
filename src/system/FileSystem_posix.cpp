#include "system/FileSystem.h"

#include "system/SystemError.h"

#include <QDir>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

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

} // namespace

struct Directory::Handle
{
    explicit Handle(DIR* directory) : stream(directory) {}
    ~Handle() { ::closedir(stream); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    DIR* stream;
};

Directory::Directory(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}
Directory::~Directory() = default;

qsizetype rootLength(const QString& slashedPath)
{
    return slashedPath.startsWith(u'/') ? 1 : 0;
}

bool sameName(const QString& a, const QString& b)
{
    return a == b;
}

QString localPath(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    // The URL's escapes stand for the name's bytes, which need not be UTF-8.
    return decodeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

Result<QString> currentDirectory()
{
    // The C library finds the path of a folder however long it is.
    char* path = ::getcwd(nullptr, 0);
    if (path == nullptr)
        return Result<QString>::failure(systemMessage(errno));
    QString name = decodeName(QByteArray(path));
    std::free(path);
    return name;
}

Result<std::unique_ptr<Directory>> Directory::open(const QString& path)
{
    const int folder = openFolder(encodeName(path));
    DIR* stream = folder < 0 ? nullptr : ::fdopendir(folder);
    if (stream == nullptr) {
        const int error = errno;
        if (folder >= 0)
            ::close(folder);
        return Result<std::unique_ptr<Directory>>::failure(systemMessage(error));
    }
    return std::make_unique<Directory>(std::make_unique<Handle>(stream));
}

Result<> Directory::read(const NameFilter& filter, const std::function<bool(const Entry&)>& onEntry,
                         const std::function<bool()>& goOn)
{
    DIR* stream = m_handle->stream;
    const int folder = ::dirfd(stream);
    while (goOn()) {
        errno = 0;
        const dirent* entry = ::readdir(stream);
        if (entry == nullptr)
            return errno == 0 ? Result<>(Done()) : Result<>::failure(systemMessage(errno));
        const char* name = entry->d_name;
        const std::size_t length = std::strlen(name);
        // ".", ".." and the hidden entries, as the system's own file dialogs hide them.
        if (name[0] == '.')
            continue;
        if (filter && !filter(name, length))
            continue;
        Kind kind = Kind::Other; // pipes, sockets, devices: never opened
        if (entry->d_type == DT_REG) {
            kind = Kind::File;
        } else if (entry->d_type == DT_DIR) {
            kind = Kind::Directory;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Links are followed; only the file system knows where they end, and the one they
            // lead to may not answer.
            if (!goOn())
                break;
            struct stat status;
            kind = ::fstatat(folder, name, &status, 0) == 0 ? kindOfMode(status.st_mode)
                                                            : Kind::Missing;
        }
        if (!onEntry(Entry{decodeName(QByteArray::fromRawData(name, qsizetype(length))), kind}))
            break;
    }
    return Done();
}

QString findInCurrentDirectory(const QString& name)
{
    if (name.isEmpty() || name.contains(u'/') || name.startsWith(u'.'))
        return {};
    const QByteArray exact = encodeName(name);
    struct stat status;
    if (::fstatat(AT_FDCWD, exact.constData(), &status, 0) == 0 && S_ISREG(status.st_mode))
        return name;
    auto entries = Directory::open(QStringLiteral("."));
    if (!entries.ok())
        return {};
    QString found;
    entries.value()->read(
        [&exact](const char*, std::size_t length) { return length == std::size_t(exact.size()); },
        [&](const Entry& entry) {
            if (entry.kind == Kind::File && entry.name.compare(name, Qt::CaseInsensitive) == 0)
                found = entry.name;
            return found.isEmpty();
        },
        [] { return true; });
    return found;
}

} // namespace FileSystem
