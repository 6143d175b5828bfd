#pragma once

#include "system/Result.h"

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
// Whether two names of this system's files are the same name: without regard to case on Windows.
bool sameName(const QString& a, const QString& b);
// The path with `name` appended, with exactly one separator between them.
QString join(const QString& folder, const QString& name);
// An absolute, clean form of `path` (no "." or ".." parts, no separator at the end but at a
// root), worked out from the text alone: links are not followed and nothing is read.
QString clean(const QString& path);
// The parts of a clean path below its root, and its root ("/", "C:\", "\\server\share\").
QStringList partsOf(const QString& path, QString* root);

// The length of the root at the start of a path written with forward slashes.
qsizetype rootLength(const QString& slashedPath);

// The local path of a file:// URL, byte for byte; empty for any other URL.
QString localPath(const QUrl& url);

// The current folder's path; fails when the system cannot name it (it has been removed since the
// program started in it).
Result<QString> currentDirectory();

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
    struct Handle; // the system's own

    static Result<std::unique_ptr<Directory>> open(const QString& path);
    explicit Directory(std::unique_ptr<Handle> handle);
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // Calls `onEntry` for each entry that passes `filter`, until it returns false. Asks `goOn`
    // before each call to the system, each of which may wait on the volume, and stops as soon as
    // it says no. "." and "..", and the entries the system hides from its users (names beginning
    // with a dot; on Windows the hidden attribute), are never given. Fails when reading stops
    // part way.
    Result<> read(const NameFilter& filter, const std::function<bool(const Entry&)>& onEntry,
                  const std::function<bool()>& goOn);

private:
    std::unique_ptr<Handle> m_handle;
};

// The name of the ordinary file (or link to one) called `name` in the current folder: an exact
// match first, then the first that differs only in case, as Windows matches names. Hidden and
// system files do not count. Looked up relative to the current folder itself, never through its
// path, so that it works when that path is too long to use or the folder has been removed. Empty
// when there is none.
QString findInCurrentDirectory(const QString& name);

} // namespace FileSystem
