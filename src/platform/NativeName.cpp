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
// well-formed.
qsizetype sequenceLength(const uchar* bytes, qsizetype available)
{
    const uchar lead = bytes[0];
    if (lead < 0x80)
        return 1;
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
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(bytes[i]))
            return 0;
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
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString result;
    result.reserve(size);
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < size) {
        const qsizetype length = sequenceLength(data + i, size - i);
        if (length > 0) {
            i += length;
            continue;
        }
        result += QString::fromUtf8(bytes.constData() + runStart, i - runStart);
        result += QChar(char16_t(EscapeBase + data[i]));
        runStart = ++i;
    }
    result += QString::fromUtf8(bytes.constData() + runStart, size - runStart);
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
