#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The volumes a user would call drives. Found from the system's own tables, never by asking the
// volumes, so that a volume that does not answer cannot hold anything up.
namespace Volumes {

struct Drive
{
    QString root;            // "/", "/media/me/STICK", "C:\", "\\server\share\"
    QString label;           // may be empty
    bool labelToAsk = false; // the label is known only to the drive: see askLabel()
};

struct Drives
{
    QList<Drive> list;
    // The root of the listed drive that holds the current folder; empty when the system cannot
    // name the current folder.
    QString current;
};

// On Windows the drive letters, with labels left to askLabel(), and the share that holds
// `currentFolder` when it has no letter. Elsewhere the root file system and every mounted disk,
// removable medium and network share, each with its label or share name; and the volume that
// holds `currentFolder`, whatever it is.
Drives drives(const QString& currentFolder);
// The same for the process's current folder.
Drives drives();
// What drives() makes of a mount table in the form of Linux's /proc/self/mountinfo, leaving out the
// disks' labels. Not on Windows.
Drives drivesOfMountTable(const QByteArray& table, const QString& currentFolder);

// The label of the Windows drive at `root`, or its share name, asked of the drive itself: this can
// take long on a network drive, so it is asked in the background. Empty elsewhere.
QString askLabel(const QString& root);

// The roots where optical media (CDs, DVDs) are mounted: on Linux the mount points of optical
// devices (/dev/sr*), on Windows the CD-ROM drives' letters.
QStringList opticalRoots();

// How the drive list shows a drive, as the system's own drive lists do.
QString caption(const Drive& drive);

// The root of the drive that holds `path`: the deepest drive root whose every part `path` begins
// with. Compared part by part, never as text, and without following links. A path on no drive
// listed goes by its own root.
QString driveOf(const QString& path, const QList<Drive>& among);
// The same among the drives of drives().
QString driveOf(const QString& path);

// Whether `path` is `root` or lies below it, part by part.
bool holds(const QString& root, const QString& path);

} // namespace Volumes
