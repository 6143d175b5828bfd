#include "system/ProgramKind.h"

#include <QFile>
#include <QtEndian>

ProgramKind programKind(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return ProgramKind::Native;
    const QByteArray dosHeader = file.read(64);
    if (!dosHeader.startsWith("MZ"))
        return ProgramKind::Native;
    if (dosHeader.size() < 64)
        return ProgramKind::Dos;
    // The DOS header says at 0x3C where the newer header starts.
    const quint32 offset = qFromLittleEndian<quint32>(dosHeader.constData() + 0x3C);
    if (!file.seek(offset))
        return ProgramKind::Dos;
    const QByteArray signature = file.read(4);
    if (signature == QByteArray("PE\0\0", 4))
        return ProgramKind::Windows;
    if (signature.startsWith("NE"))
        return ProgramKind::Windows16;
    return ProgramKind::Dos;
}
