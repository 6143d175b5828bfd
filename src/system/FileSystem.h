#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// File names and folders as the system gives them. On Linux a name is any string of bytes; a
// name that is not valid UTF-8 is decoded with each stray byte kept as the lone surrogate
// U+DC80..U+DCFF, so that encodeName() gives the same bytes back and such a file can still be
// listed, chosen and handed to another program. Every call here may wait on the volume it
// touches; the window makes them from background threads (see Background.h).
namespace FileSystem {

QString decodeName(const QByteArray& bytes);
QByteArray encodeName(const QString& name);

// The separator between a folder and a name: '\' on Windows, '/' elsewhere.
QChar separator();
// The path with `name` appended, with exactly one separator between them.
QString join(const QString& folder, const QString& name);
// An absolute, clean form of `path` (no "." or ".." parts, no separator at the end but at a
// root), worked out from the text alone: links are not followed and nothing is read.
QString clean(const QString& path);
// The parts of a clean path below its root, and its root ("/", "C:\").
QStringList partsOf(const QString& path, QString* root);

// The local path of a file:// URL, byte for byte; empty for any other URL.
QString localPath(const QUrl& url);

// The current folder's path. Empty, with the reason in `error`, when the system cannot name it
// (it has been removed since the program started in it).
QString currentDirectory(QString* error);

enum class Kind { Missing, File, Directory, Other };

struct Entry
{
    QString name;
    Kind kind;
};

// Accepts a name before it is decoded, so that a reader can skip most entries cheaply; `bytes` is
// the raw name (on Windows the UTF-16 name, encoded as UTF-8).
using NameFilter = std::function<bool(const char* bytes, std::size_t length)>;

// An open folder. Opening checks that it can be read, and works for paths of any length.
class Directory
{
public:
    // Opens `path`; on failure the result is null and `error` holds the system's reason.
    static std::unique_ptr<Directory> open(const QString& path, QString* error);
    virtual ~Directory() = default;

    // Calls `onEntry` for each entry but "." and ".." that passes `filter`, until it returns
    // false; stops as soon as `cancelled` says so, whether or not names pass. Returns the system's
    // reason when reading fails part way, else an empty string.
    virtual QString read(const NameFilter& filter,
                         const std::function<bool(const Entry&)>& onEntry,
                         const std::function<bool()>& cancelled) = 0;
};

// The name of the ordinary file (or link to one) called `name` in the current folder: an exact
// match first, then the first that differs only in case, as Windows matches names. Looked up
// relative to the current folder itself, never through its path, so that it works when that
// path is too long to use or the folder has been removed. Empty when there is none.
QString findInCurrentDirectory(const QString& name);

} // namespace FileSystem
