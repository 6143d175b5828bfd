#include "system/ProgramKind.h"

#include <QFile>
#include <QtEndian>

namespace {
// The machine type of a program for 32-bit Windows on x86 (IMAGE_FILE_MACHINE_I386).
constexpr quint16 MachineI386 = 0x014C;
} // namespace

ProgramKind programKind(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return ProgramKind::Native;
    return programKind(&file);
}

ProgramKind programKind(QIODevice* device)
{
    if (!device->isOpen() || device->isSequential() || !device->seek(0))
        return ProgramKind::Native;
    const QByteArray header = device->read(64);
    // DOS also loads programs that start "ZM"; Windows knows only "MZ".
    if (!header.startsWith("MZ") && !header.startsWith("ZM"))
        return ProgramKind::Native;
    // The fixed fields of the MZ header take 28 bytes; a DOS program's header may end there.
    if (header.size() < 28)
        return ProgramKind::Native;
    if (header.size() < 64 || header.startsWith("ZM"))
        return ProgramKind::Dos;
    // In a plain DOS program the field at 0x3C is often code or data rather than the offset of a
    // newer header. The PE signature is four bytes and is taken wherever the field points, as
    // Windows does; the two-letter ones only where the relocation table starts at 0x40 or later,
    // the mark of a program with a newer header.
    const quint32 next = qFromLittleEndian<quint32>(header.constData() + 0x3C);
    const quint16 relocations = qFromLittleEndian<quint16>(header.constData() + 0x18);
    if (next < 64 || next > quint64(device->size()) - 2 || !device->seek(next))
        return ProgramKind::Dos;
    const QByteArray signature = device->read(6);
    if (signature.startsWith(QByteArray("PE\0\0", 4))) {
        // The PE signature is followed by the machine the program was built for.
        const bool i386 = signature.size() == 6 &&
                          qFromLittleEndian<quint16>(signature.constData() + 4) == MachineI386;
        return i386 ? ProgramKind::Windows32 : ProgramKind::Windows;
    }
    if (relocations >= 0x40 && signature.startsWith("NE"))
        return ProgramKind::Windows16;
    return ProgramKind::Dos; // LE, LX or none: a DOS program, extended or not
}
