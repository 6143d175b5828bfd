#pragma once

#include <QString>

#include <functional>
#include <memory>

// File names and directories as the system gives them. On Linux a name is any string of bytes; a
// name that is not valid UTF-8 is decoded with each stray byte kept as the lone surrogate
// U+DC80..U+DCFF, so that encodeName() gives the same bytes back and such a file can still be
// listed, chosen and handed to another program.
namespace FileSystem {

QString decodeName(const QByteArray& bytes);
QByteArray encodeName(const QString& name);

// The process's current directory.
QString currentDirectory();

// The root of the volume that holds `path`, or the file system's root when Qt cannot tell.
QString volumeRoot(const QString& path);

// The path with `name` appended, with exactly one separator between them.
QString join(const QString& directory, const QString& name);

enum class Kind { Missing, File, Directory, Other };

// What `path` is, following links: a dangling link is Missing; a pipe, socket or device is Other.
Kind kindOf(const QString& path);

struct Entry
{
    QString name;
    Kind kind;
};

// Accepts a name before it is decoded, so that a reader can skip most entries cheaply; `bytes` is
// the raw name (UTF-16 on Windows is passed encoded as UTF-8).
using NameFilter = std::function<bool(const char* bytes, std::size_t length)>;

// An open directory. Opening checks that it can be read; reading can then go on in another thread,
// and still works if the directory is removed meanwhile.
class Directory
{
public:
    // Opens `path`; on failure the result is null and `error` holds the system's reason.
    static std::unique_ptr<Directory> open(const QString& path, QString* error);
    virtual ~Directory() = default;

    // Calls `onEntry` for each entry but "." and ".." that passes `filter`, until it returns
    // false. Returns the system's reason when reading fails part way, else an empty string.
    virtual QString read(const NameFilter& filter,
                         const std::function<bool(const Entry&)>& onEntry) = 0;
};

} // namespace FileSystem
