#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The volumes a user would call drives. Found from the system's own tables, never by asking the
// volumes, so that a volume that does not answer cannot hold anything up.
namespace Volumes {

struct Drive
{
    QString root;  // "/", "/media/me/STICK", "C:\"
    QString label; // may be empty
    bool labelToAsk = false; // the label is known only to the drive: see askLabel()
};

// On Windows the drive letters, with labels left to askLabel(). Elsewhere the root file system and
// every mounted disk, removable medium and network share, each with its label or share name; and
// the volume that holds the current folder, whatever it is.
QList<Drive> drives();

// The label of the Windows drive at `root`, or its share name, asked of the drive itself: this can
// take long on a network drive, so it is asked in the background. Empty elsewhere.
QString askLabel(const QString& root);

// The root of the drive that holds `path`: the deepest drive root whose every part `path` begins
// with. Compared part by part, never as text, and without following links.
QString driveOf(const QString& path);
// The same among drives already listed.
QString driveOf(const QString& path, const QList<Drive>& among);

} // namespace Volumes
