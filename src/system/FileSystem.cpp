#include "system/FileSystem.h"

#include <QDir>

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
    const qsizetype length = rootLength(slashed);
    *root = QDir::toNativeSeparators(slashed.left(length));
    if (!root->isEmpty() && !root->endsWith(separator()))
        *root += separator();
    return slashed.mid(length).split(u'/', Qt::SkipEmptyParts);
}

QString clean(const QString& path)
{
    QString absolute = path;
    if (QDir::isRelativePath(path))
        absolute = join(currentDirectory().value(), path);
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(absolute)));
}

} // namespace FileSystem
