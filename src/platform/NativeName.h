#pragma once

#include <QByteArray>
#include <QString>

// File names, paths and program arguments on Unix are bytes, mostly but not always UTF-8. Qt's own
// conversion turns every byte that is not valid UTF-8 into U+FFFD, so a name holding such bytes
// comes back as a different name. These two functions convert without loss: valid UTF-8 decodes as
// usual, and each byte outside a valid sequence becomes the lone surrogate U+DC00 + byte, which
// encode() turns back into that byte.
namespace NativeName {

// The text for these bytes; encode(decode(bytes)) == bytes for any bytes.
QString decode(const QByteArray& bytes);

// The bytes for this text: UTF-8, with the lone surrogates U+DC80 to U+DCFF as single bytes.
QByteArray encode(const QString& text);

} // namespace NativeName
