#include "system/WineNames.h"

#include "system/FileSystem.h"

#include <QStringList>

#include <algorithm>

#include <sys/stat.h>

namespace Wine {

namespace {

// One character of a name as Wine decodes it from UTF-8: anything it cannot decode becomes
// U+FFFD, and a sequence cut off by the end of the name ends the name. Like Wine, it checks the
// value after each continuation byte, and takes some bad ones along and leaves others.
char32_t decodeLikeWine(const QByteArray& bytes, qsizetype* at)
{
    const uchar lead = uchar(bytes[(*at)++]);
    if (lead < 0x80)
        return lead;
    const int length = lead < 0xC2 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : 0;
    if (*at + length > bytes.size()) {
        *at = bytes.size();
        return 0xFFFD;
    }
    char32_t value = lead & (0x7F >> (length + 1));
    for (int left = length; left > 0; --left) {
        const uchar next = uchar(bytes[*at]) ^ 0x80;
        if (next >= 0x40)
            return 0xFFFD;
        value = (value << 6) | next;
        if (left == 2 && value >= (0x110000 >> 6))
            return 0xFFFD;
        ++*at;
        const bool surrogate = value >= (0xD800 >> 6) && value <= (0xDFFF >> 6);
        if ((left == 3 && value < 0x10) || (left == 2 && (value < 0x20 || surrogate)))
            return 0xFFFD;
    }
    return length > 0 && value >= 0x80 ? value : 0xFFFD;
}

char16_t lowerLikeWine(char16_t c)
{
    // Wine's case table follows Unicode but leaves these alone.
    static const QList<char16_t> unchanged = {0x0130, 0x01C5, 0x01C8, 0x01CB, 0x01F2,
                                              0x03F4, 0x1E9E, 0x2126, 0x212A, 0x212B};
    return unchanged.contains(c) ? c : QChar::toLower(c);
}

// A name as Wine reads it from the file system: anything it cannot decode becomes U+FFFD.
QString decodedLikeWine(const QByteArray& bytes)
{
    QString name;
    for (qsizetype at = 0; at < bytes.size();) {
        const char32_t c = decodeLikeWine(bytes, &at);
        // Not QString::fromUcs4(), which drops a byte order mark.
        if (QChar::requiresSurrogates(c))
            name += QChar(QChar::highSurrogate(c));
        name += QChar(QChar::requiresSurrogates(c) ? QChar::lowSurrogate(c) : char16_t(c));
    }
    return name;
}

// Whether a Windows program can use `name` as it is: Windows forbids these characters and control
// characters in names, and drops the dots and blanks a name ends in.
bool passesAsItIs(const QString& name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringView(u"*?<>|\"\\").contains(c))
            return false;
    }
    return !name.endsWith(u'.') && !name.endsWith(u' ');
}

// Whether `name` is a plain DOS name (eight characters at most, a dot and three more, no blank,
// none of the characters DOS forbids), for which Wine makes up no short name. A character Wine
// could not decode is one that DOS forbids; any other beyond ASCII counts as a plain one.
bool isPlainDosName(const QString& name)
{
    const qsizetype dot = name.indexOf(u'.');
    if (name.size() > 12 || dot == 0 || dot != name.lastIndexOf(u'.') || dot == name.size() - 1)
        return false;
    for (const QChar c : name) {
        if (c == QChar(0xFFFD) || QStringView(u" *?<>|\"+=,;[]:/\\").contains(c))
            return false;
    }
    return dot < 0 ? name.size() <= 8 : dot <= 8 && name.size() - dot <= 4;
}

bool isInvalidDosChar(char16_t c)
{
    return c > 0x7F || QStringView(u"*?<>|\"+=,;[] ~.").contains(QChar(c));
}

// The 8.3 name Wine makes up for a name that is no plain DOS name: up to four characters of the
// name, padding, a hash of the whole name, and up to three characters of its extension.
QString shortName(const QString& name)
{
    quint16 hash = 0xBEEF;
    for (qsizetype i = 0; i + 1 < name.size(); ++i)
        hash = quint16((hash << 3) ^ (hash >> 5) ^ lowerLikeWine(name[i].unicode()) ^
                       (lowerLikeWine(name[i + 1].unicode()) << 8));
    hash = quint16((hash << 3) ^ (hash >> 5) ^ lowerLikeWine(name.back().unicode()));
    qsizetype extension = -1;
    for (qsizetype i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == u'.')
            extension = i;
    }
    const auto dosChar = [](QChar c) { return isInvalidDosChar(c.unicode()) ? QChar(u'_') : c; };
    QString result;
    for (qsizetype i = 0; i < 4 && i < name.size() && i != extension; ++i)
        result += dosChar(name[i]);
    result = result.leftJustified(5, u'~');
    const char* const hashChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    result += QLatin1Char(hashChars[(hash >> 10) & 0x1F]);
    result += QLatin1Char(hashChars[(hash >> 5) & 0x1F]);
    result += QLatin1Char(hashChars[hash & 0x1F]);
    if (extension >= 0) {
        result += u'.';
        for (qsizetype i = extension + 1; i < name.size() && i <= extension + 3; ++i)
            result += dosChar(name[i]);
    }
    return result.toUpper();
}

// Whether Windows takes a path ending in `name` for one of its devices, whatever the extension:
// NUL, CON.PCE and "aux .txt" all name a device, not a file.
bool isDeviceName(const QString& name)
{
    qsizetype end = 0;
    while (end < name.size() && name[end] != u'.' && name[end] != u':')
        ++end;
    const QString base = name.left(end).trimmed().toUpper();
    static const QStringList devices = {"AUX", "CON", "NUL", "PRN", "CONIN$", "CONOUT$"};
    return devices.contains(base) ||
           (base.size() == 4 && (base.startsWith(u"COM") || base.startsWith(u"LPT")) &&
            base[3] >= u'1' && base[3] <= u'9');
}

// Whether a Windows program can use `part` of a path as it is. A name that is not valid UTF-8
// reaches Windows programs with U+FFFD in it, which names no file; Wine finds the file by its short
// name.
bool partPassesAsItIs(const QString& part)
{
    return part == u"." || part == u".." ||
           (decodedLikeWine(FileSystem::encodeName(part)) == part && passesAsItIs(part));
}

} // namespace

Result<QString> windowsPath(const QString& path)
{
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString result = QStringLiteral("Z:");
    for (const QString& part : parts) {
        QString windowsName = part;
        if (!partPassesAsItIs(part)) {
            const QString name = decodedLikeWine(FileSystem::encodeName(part));
            windowsName = shortName(name);
            const bool usable = std::all_of(windowsName.cbegin(), windowsName.cend(), [](QChar c) {
                return c.unicode() >= 0x20 && c != u':' && c != u'\\';
            });
            if (isPlainDosName(name) || !usable)
                return Result<QString>::failure(
                    QStringLiteral("Wine offers Windows programs no name for \"%1\"").arg(part));
        }
        result += u'\\' + windowsName;
    }
    if (path.endsWith(u'/') || parts.isEmpty())
        return result + u'\\';
    // The prefix \\?\ has Windows take the path as it stands, without looking for devices.
    return isDeviceName(result.mid(result.lastIndexOf(u'\\') + 1))
               ? QStringLiteral("\\\\?\\") + result
               : result;
}

Result<QString> windowsArgument(const QString& argument, const QString& folder)
{
    if (argument.startsWith(u'/'))
        return windowsPath(argument);
    const QStringList parts = argument.split(u'/', Qt::SkipEmptyParts);
    const bool asItIs = std::all_of(parts.cbegin(), parts.cend(), partPassesAsItIs) &&
                        (parts.isEmpty() || !isDeviceName(parts.last()));
    const QString path = FileSystem::clean(FileSystem::join(folder, argument));
    struct stat entry;
    if (asItIs || ::lstat(FileSystem::encodeName(path).constData(), &entry) != 0)
        return argument;
    return windowsPath(path);
}

} // namespace Wine
