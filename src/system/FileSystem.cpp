#include "system/FileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
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

QString volumeRoot(const QString& path)
{
    const QStorageInfo volume(path);
    return QDir::toNativeSeparators(volume.isValid() ? volume.rootPath() : QDir::rootPath());
}

QString join(const QString& directory, const QString& name)
{
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QDir::separator()))
        return directory + name;
    return directory + QDir::separator() + name;
}

#ifdef Q_OS_UNIX

QString currentDirectory()
{
    QByteArray buffer(4096, '\0');
    while (::getcwd(buffer.data(), std::size_t(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return QDir::currentPath();
        buffer.resize(buffer.size() * 2);
    }
    return decodeName(QByteArray(buffer.constData()));
}

namespace {

// The system's own words for an error number; unlike strerror(), safe in any thread.
QString reason(int error)
{
    return QString::fromStdString(std::system_category().message(error));
}

Kind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Directory;
    return Kind::Other;
}

class PosixDirectory : public Directory
{
public:
    explicit PosixDirectory(DIR* handle) : m_handle(handle) {}
    ~PosixDirectory() override { ::closedir(m_handle); }

    QString read(const NameFilter& filter,
                 const std::function<bool(const Entry&)>& onEntry) override
    {
        const int descriptor = ::dirfd(m_handle);
        while (true) {
            errno = 0;
            const dirent* entry = ::readdir(m_handle);
            if (entry == nullptr)
                return errno == 0 ? QString() : reason(errno);
            const char* name = entry->d_name;
            const std::size_t length = std::strlen(name);
            if (name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.')))
                continue;
            if (filter && !filter(name, length))
                continue;
            Kind kind;
            switch (entry->d_type) {
            case DT_REG:
                kind = Kind::File;
                break;
            case DT_DIR:
                kind = Kind::Directory;
                break;
            case DT_LNK:
            case DT_UNKNOWN: {
                // Links are followed; only the file system knows where they end.
                struct stat status;
                kind = ::fstatat(descriptor, name, &status, 0) == 0 ? kindOfMode(status.st_mode)
                                                                    : Kind::Missing;
                break;
            }
            default:
                kind = Kind::Other; // pipes, sockets, devices: never opened
            }
            if (!onEntry(Entry{decodeName(QByteArray::fromRawData(name, qsizetype(length))), kind}))
                return {};
        }
    }

private:
    DIR* m_handle;
};

} // namespace

Kind kindOf(const QString& path)
{
    struct stat status;
    if (::stat(encodeName(path).constData(), &status) != 0)
        return Kind::Missing;
    return kindOfMode(status.st_mode);
}

std::unique_ptr<Directory> Directory::open(const QString& path, QString* error)
{
    DIR* handle = ::opendir(encodeName(path).constData());
    if (handle == nullptr) {
        *error = reason(errno);
        return nullptr;
    }
    return std::make_unique<PosixDirectory>(handle);
}

#else // Windows: names are UTF-16 and Qt reads them all.

QString currentDirectory()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

Kind kindOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Kind::Missing;
    return info.isDir() ? Kind::Directory : info.isFile() ? Kind::File : Kind::Other;
}

namespace {

class QtDirectory : public Directory
{
public:
    explicit QtDirectory(const QString& path) : m_path(path) {}

    QString read(const NameFilter& filter,
                 const std::function<bool(const Entry&)>& onEntry) override
    {
        QDirIterator entries(m_path, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            entries.next();
            const QString name = entries.fileName();
            const QByteArray bytes = name.toUtf8();
            if (filter && !filter(bytes.constData(), std::size_t(bytes.size())))
                continue;
            if (!onEntry(Entry{name, kindOf(entries.filePath())}))
                break;
        }
        return {};
    }

private:
    QString m_path;
};

} // namespace

std::unique_ptr<Directory> Directory::open(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable()) {
        *error = info.exists() ? QStringLiteral("Access denied") : QStringLiteral("Path not found");
        return nullptr;
    }
    return std::make_unique<QtDirectory>(path);
}

#endif

} // namespace FileSystem
