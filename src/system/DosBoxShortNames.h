#pragma once

#include <QByteArray>
#include <QList>

// How DOSBox 0.74 names a folder's files for DOS programs, ported from its folder cache
// (src/dos/drive_cache.cpp) byte for byte: DOS programs open files by 8.3 names, which DOSBox makes
// up for the host's names in the order it reads the folder, each from the names read before it, so
// that the same folder read in another order gives other names. DOSBox also takes a name in the
// style of Wine's short names as another name of a file.
namespace DosBox {

// The 8.3 name by which DOSBox 0.74 gives DOS programs the file `name` of a folder whose names it
// reads as `entries` (in the order the system lists them, "." and ".." included), or an empty
// string when there is none that a DOS program can open: DOSBox's own short name, or else the
// name it accepts in the style of Wine's short names. Takes time in proportion to the folder's
// size, and a little more.
QByteArray shortName(const QList<QByteArray>& entries, const QByteArray& name);

} // namespace DosBox
