#include "platform/NativeName.h"

namespace {

// Where the stand-ins for undecodable bytes begin; only bytes 0x80 to 0xFF can be undecodable.
constexpr char16_t EscapeBase = 0xDC00;
constexpr char16_t FirstEscape = EscapeBase + 0x80;
constexpr char16_t LastEscape = EscapeBase + 0xFF;

bool isContinuation(uchar byte, uchar lowest = 0x80, uchar highest = 0xBF)
{
    return byte >= lowest && byte <= highest;
}

// The length of the well-formed UTF-8 sequence at the start of `bytes`, or 0 when there is none:
// overlong forms, encoded surrogates, code points above U+10FFFF and cut-off sequences are not
// well-formed. A well-formed sequence's code point goes to `codePoint`.
qsizetype decodeSequence(const uchar* bytes, qsizetype available, char32_t& codePoint)
{
    const uchar lead = bytes[0];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    // The range the second byte must lie in depends on the lead byte.
    uchar lowest = 0x80;
    uchar highest = 0xBF;
    qsizetype length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            lowest = 0xA0;
        else if (lead == 0xED)
            highest = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            lowest = 0x90;
        else if (lead == 0xF4)
            highest = 0x8F;
    } else {
        return 0;
    }
    if (available < length || !isContinuation(bytes[1], lowest, highest))
        return 0;
    codePoint = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if (!isContinuation(bytes[i]))
            return 0;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return length;
}

bool isEscape(QChar c)
{
    return c.unicode() >= FirstEscape && c.unicode() <= LastEscape;
}

} // namespace

namespace NativeName {

QString decode(const QByteArray& bytes)
{
    // Decoded here rather than by QString::fromUtf8(), which drops a byte order mark at the start
    // of what it is given: a name may begin with one.
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString result;
    result.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        char32_t codePoint = 0;
        const qsizetype length = decodeSequence(data + i, size - i, codePoint);
        if (length == 0) {
            result += QChar(char16_t(EscapeBase + data[i]));
            ++i;
        } else {
            result += QChar::fromUcs4(codePoint);
            i += length;
        }
    }
    return result;
}

QByteArray encode(const QString& text)
{
    QByteArray result;
    result.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // a whole pair: the low half is a real character, never an escaped byte
            continue;
        }
        if (!isEscape(c))
            continue;
        result += QStringView(text).mid(runStart, i - runStart).toUtf8();
        result += char(c.unicode() - EscapeBase);
        runStart = i + 1;
    }
    result += QStringView(text).mid(runStart).toUtf8();
    return result;
}

} // namespace NativeName
