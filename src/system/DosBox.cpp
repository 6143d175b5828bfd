#include "system/DosBox.h"

#include "system/FileSystem.h"

#include <QDir>

#include <algorithm>
#include <cstring>
#include <vector>

namespace DosBox {

namespace {

// The folder cache of DOSBox 0.74 (src/dos/drive_cache.cpp), byte for byte: each name read gets
// a short name at once, from the names read before it, so that the same folder read in another
// order gives other short names. Strings compare as C strings of unsigned bytes.

int compare(const QByteArray& a, const QByteArray& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

int compareFirst(const QByteArray& a, const QByteArray& b, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const int x = i < a.size() ? uchar(a[i]) : 0;
        const int y = i < b.size() ? uchar(b[i]) : 0;
        if (x != y)
            return x - y;
        if (x == 0)
            return 0;
    }
    return 0;
}

qsizetype lengthBefore(const QByteArray& text, const char* stops)
{
    qsizetype i = 0;
    while (i < text.size() && !std::strchr(stops, text[i]))
        ++i;
    return i;
}

QByteArray upper(QByteArray text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    }
    return text;
}

void removeTrailingDot(QByteArray* name)
{
    if (name->endsWith('.') && name->size() > 1 && *name != "..")
        name->chop(1);
}

// Wine's short name for `name`, which DOSBox takes as another name of the file.
QByteArray wineName(const QByteArray& name)
{
    // The C library's tolower() of a char: bytes above 0x7F come back as 0x80..0xFF.
    const auto lower = [](char c) { return int(c >= 'A' && c <= 'Z' ? c + 32 : uchar(c)); };
    const auto dosChar = [](char c) {
        return c < 0 || std::strchr("*?<>|\"+=,;[] ~.", c) ? '_' : upper(QByteArray(1, c))[0];
    };
    const qsizetype end = name.size();
    quint16 hash = 0xBEEF;
    qsizetype p = 0;
    for (; p < end - 1; ++p)
        hash = quint16((quint32(hash) << 3) ^ (hash >> 5) ^ quint32(lower(name[p])) ^
                       (quint32(lower(name[p + 1])) << 8));
    hash = quint16((quint32(hash) << 3) ^ (hash >> 5) ^ quint32(lower(p < end ? name[p] : '\0')));
    qsizetype extension = -1;
    for (p = 1; p < end - 1; ++p) {
        if (name[p] == '.')
            extension = p;
    }
    QByteArray result;
    for (p = 0; p < 4 && p < end && p != extension; ++p)
        result += dosChar(name[p]);
    while (result.size() < 5)
        result += '~';
    const char* const hashChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    result += hashChars[(hash >> 10) & 0x1F];
    result += hashChars[(hash >> 5) & 0x1F];
    result += hashChars[hash & 0x1F];
    if (extension >= 0) {
        result += '.';
        for (p = extension + 1; p < end && p <= extension + 3; ++p)
            result += dosChar(name[p]);
    }
    return result;
}

class FolderCache
{
public:
    struct Entry
    {
        QByteArray name, shortName;
        int number = 0;
    };

    // Adds a name as DOSBox does when it reads it from the folder.
    void add(const QByteArray& name)
    {
        m_entries.push_back({name, {}, 0});
        const int added = int(m_entries.size()) - 1;
        makeShortName(added);
        insertSorted(&m_files, added);
    }

    // The entry a DOS program reaches by `dosName`, or -1.
    int find(QByteArray dosName) const
    {
        const int at = longName(&dosName);
        return at < 0 ? -1 : m_files[std::size_t(at)];
    }

    const Entry& entry(int index) const { return m_entries[std::size_t(index)]; }
    int count() const { return int(m_entries.size()); }

private:
    // DOSBox's GetLongName(): the position in the sorted files of the name, found by its short
    // name or else by its Wine name.
    int longName(QByteArray* name) const
    {
        if (m_files.empty())
            return -1;
        removeTrailingDot(name);
        int low = 0, high = int(m_files.size()) - 1;
        while (low <= high) {
            const int mid = (low + high) / 2;
            const int result = compare(*name, entry(m_files[std::size_t(mid)]).shortName);
            if (result > 0) {
                low = mid + 1;
            } else if (result < 0) {
                high = mid - 1;
            } else {
                *name = entry(m_files[std::size_t(mid)]).name;
                return mid;
            }
        }
        const QByteArray& n = *name;
        if (n.size() < 8 || n[4] != '~' || n[5] == '.' || n[6] == '.' || n[7] == '.')
            return -1;
        for (std::size_t i = 0; i < m_files.size(); ++i) {
            if (wineName(entry(m_files[i]).name) == n) {
                *name = entry(m_files[i]).name;
                return int(i);
            }
        }
        return -1;
    }

    // DOSBox's CompareShortname(): a name against a short name up to its ~number.
    static int compareShort(const QByteArray& name, const QByteArray& shortName)
    {
        const qsizetype tilde = shortName.indexOf('~');
        if (tilde < 0)
            return compare(name, shortName);
        qsizetype stemLength = tilde;
        const qsizetype numberSize = lengthBefore(shortName.mid(tilde), ".");
        const qsizetype nameCount = qMin<qsizetype>(lengthBefore(name, "."), 8);
        if (nameCount > stemLength + numberSize)
            stemLength = nameCount - numberSize;
        return compareFirst(name, shortName, stemLength);
    }

    // DOSBox's CreateShortNameID(): one more than the highest number among the short names made
    // from names like `name`.
    int nextNumber(const QByteArray& name) const
    {
        int found = 0;
        int low = 0, high = int(m_longNames.size()) - 1;
        while (low <= high) {
            int mid = (low + high) / 2;
            const int result = compareShort(name, entry(m_longNames[std::size_t(mid)]).shortName);
            if (result > 0) {
                low = mid + 1;
            } else if (result < 0) {
                high = mid - 1;
            } else {
                do {
                    found = entry(m_longNames[std::size_t(mid)]).number;
                    ++mid;
                } while (mid < int(m_longNames.size()) &&
                         compareShort(name, entry(m_longNames[std::size_t(mid)]).shortName) == 0);
                break;
            }
        }
        return found + 1;
    }

    // DOSBox's CreateShortName().
    void makeShortName(int index)
    {
        Entry& info = m_entries[std::size_t(index)];
        QByteArray name = upper(info.name);
        bool makeShort = name.contains(' ');
        name.replace(" ", "");
        qsizetype length = name.size();
        qsizetype dot = name.indexOf('.');
        if (dot >= 0) {
            if (name.size() - dot > 4) {
                while (name.startsWith('.'))
                    name.remove(0, 1);
                makeShort = true;
            }
            dot = name.indexOf('.');
            length = dot >= 0 ? dot : name.size();
        }
        makeShort = makeShort || length > 8;
        if (!makeShort) {
            QByteArray probe = name;
            makeShort = longName(&probe) >= 0;
        }
        if (makeShort) {
            info.number = nextNumber(name);
            const QByteArray number = QByteArray::number(info.number);
            const qsizetype copied =
                length + number.size() + 1 > 8 ? 8 - number.size() - 1 : length;
            info.shortName = name.left(copied) + '~' + number;
            if (dot >= 0)
                info.shortName = (info.shortName + name.mid(name.lastIndexOf('.'), 4)).left(12);
            insertSorted(&m_longNames, index);
        } else {
            info.shortName = name;
        }
        removeTrailingDot(&info.shortName);
    }

    // Inserts before the first entry with a greater short name, as DOSBox keeps its lists.
    void insertSorted(std::vector<int>* list, int index) const
    {
        const QByteArray& key = entry(index).shortName;
        auto at = list->begin();
        if (!list->empty() && compare(key, entry(list->back()).shortName) < 0) {
            while (at != list->end() && !(compare(key, entry(*at).shortName) < 0))
                ++at;
        } else {
            at = list->end();
        }
        list->insert(at, index);
    }

    std::vector<Entry> m_entries;
    std::vector<int> m_files, m_longNames; // sorted by short name
};

// Whether DOS opens a file by this 8.3 name: characters DOS accepts in names, at most one dot,
// and no device's name.
bool isDosName(const QByteArray& name)
{
    static const char* const allowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$#@()!%{}`~_-&+^'";
    for (char c : name) {
        if (c != '.' && (c <= 0 || !std::strchr(allowed, c)))
            return false;
        if (c == '\'' && Host::turnsApostrophes())
            return false;
    }
    const QList<QByteArray> parts = name.split('.');
    if (parts.size() > 2 || parts[0].isEmpty() || parts[0].size() > 8 || parts.value(1).size() > 3)
        return false;
    static const QList<QByteArray> devices = {"CON",  "NUL",    "PRN",     "AUX",     "LPT1",
                                              "LPT2", "LPT3",   "COM1",    "COM2",    "COM3",
                                              "COM4", "CLOCK$", "MSCD001", "EMMXXXX0"};
    return !devices.contains(parts[0]);
}

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

} // namespace

QByteArray shortName(const QList<QByteArray>& entries, const QByteArray& name)
{
    FolderCache cache;
    for (const QByteArray& entry : entries)
        cache.add(entry);
    int index = 0;
    while (index < cache.count() && cache.entry(index).name != name)
        ++index;
    if (index == cache.count())
        return {};
    QByteArray own = cache.entry(index).shortName;
    if (isDosName(own) && cache.find(own) == index)
        return own;
    const QByteArray wine = wineName(name);
    return isDosName(wine) && cache.find(wine) == index ? wine : QByteArray();
}

QString windows16(const QString& name)
{
    return QStringLiteral("%1 is a program for 16-bit Windows, which 64-bit Windows cannot run")
        .arg(name);
}

Command command(const QString& currentFolder, const QString& program, const QStringList& arguments,
                const QStringList& opticalRoots)
{
    Command result;
    QList<QByteArray> mounts, tail;
    // The type comes last, also where it is the default, so that no command ends with the
    // backslash of a root ("E:\"), which would escape the closing quote on DOSBox's Windows
    // command line.
    const auto mount = [&mounts](char letter, const QByteArray& text, const char* type) {
        mounts << QByteArray("mount -u ") + letter
               << QByteArray("mount ") + letter + ' ' + text + type;
    };
    const QString current = Host::currentFolderPath(currentFolder);
    const QByteArray currentText = mountText(current);
    if (currentText.isEmpty()) {
        result.error = QStringLiteral("DOSBox cannot be given the folder %1").arg(currentFolder);
        return result;
    }
    mount('C', currentText, " -t dir");
    const QByteArray programName = dosName(current, program, &result.error);
    if (!result.error.isEmpty())
        return result;

    char letter = 'D';
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        QByteArray option;
        if (isOption(argument) && Host::encode(argument, &option)) {
            tail << option;
            continue;
        }
        const QString path = Host::imagePath(currentFolder, argument);
        const qsizetype cut = path.lastIndexOf(u'/');
        QString folder = path.left(cut);
        if (folder.isEmpty() || folder.endsWith(u':'))
            folder += u'/'; // a root
        const QString mountFolder = Host::mountPath(folder);
        const QByteArray text = mountText(mountFolder);
        QByteArray name;
        if (text.isEmpty()) {
            result.error = QStringLiteral("DOSBox cannot be given the folder %1")
                               .arg(QDir::toNativeSeparators(folder));
        } else if (letter > 'Y') {
            result.error = QStringLiteral("DOSBox has no drive letter left for %1").arg(argument);
        } else {
            name = dosName(mountFolder, path.mid(cut + 1), &result.error);
        }
        if (!result.error.isEmpty())
            return result;
        mount(letter, text, " -t dir");
        tail << letter + QByteArray(":\\") + name;
        ++letter;
    }
    QByteArray line = programName;
    for (const QByteArray& word : tail)
        line += ' ' + word;
    // DOS gives a program at most 126 characters after its name.
    if (line.size() - programName.size() > 126) {
        result.error = QStringLiteral("The command line is too long for a DOS program");
        return result;
    }
    const QList<QByteArray> finish = {"C:", line, "exit"};
    for (const QString& root : opticalRoots) {
        const QByteArray text = mountText(Host::mountPath(root));
        if (text.isEmpty() || letter > 'Y' || mounts.size() + 2 + finish.size() > 11)
            continue;
        mount(letter++, text, " -t cdrom");
    }
    for (QByteArray batchLine : mounts + finish) {
        result.arguments << QStringLiteral("-c")
                         << Host::decode(batchLine.replace("%", "%%")); // batch lines expand %
    }
    return result;
}

} // namespace DosBox
