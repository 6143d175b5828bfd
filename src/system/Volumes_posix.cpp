#include "system/Volumes.h"

#include "system/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <climits>
#include <cstdlib>

namespace Volumes {

namespace {

struct Mount
{
    QString root;
    QByteArray type;
    QByteArray source;
};

// Undoes the octal escapes of the mount table (\040 for a blank, \134 for a backslash, ...).
QByteArray unescapeMountField(const QByteArray& field)
{
    QByteArray result;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3') {
            result += char(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

// The mounts of a table in the form of /proc/self/mountinfo.
QList<Mount> mountsOf(const QByteArray& table)
{
    QList<Mount> result;
    for (const QByteArray& line : table.split('\n')) {
        // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE OPTIONS
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() < 5 || separator < 0 || separator + 2 >= fields.size())
            continue;
        result << Mount{FileSystem::decodeName(unescapeMountField(fields[4])),
                        fields[separator + 1], unescapeMountField(fields[separator + 2])};
    }
    return result;
}

// The kernel's table of this process's mounts. It is made by the kernel on reading and asks no
// volume anything, so it answers even when a mounted share does not.
QList<Mount> mounts()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {Mount{QStringLiteral("/"), {}, {}}};
    return mountsOf(table.readAll());
}

// A device's file with links resolved: /dev/disk/by-label/X and /dev/mapper/Y lead to /dev/dm-0.
QByteArray deviceFile(const QByteArray& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) != nullptr ? QByteArray(resolved) : path;
}

// Labels by device file.
using Labels = QList<QPair<QByteArray, QString>>;

// The labels of the disks the system knows, by device file, as udev names them in /dev.
Labels diskLabels()
{
    Labels labels;
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QString& name :
         byLabel.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        // udev writes characters it cannot use in a file name as \xNN.
        QByteArray label = name.toUtf8();
        for (qsizetype at = label.indexOf("\\x"); at >= 0; at = label.indexOf("\\x", at + 1))
            label.replace(at, 4, QByteArray(1, char(label.mid(at + 2, 2).toInt(nullptr, 16))));
        labels.append(
            {deviceFile(QFile::encodeName(byLabel.filePath(name))), QString::fromUtf8(label)});
    }
    return labels;
}

bool isNetworkType(const QByteArray& type)
{
    static const QList<QByteArray> networkTypes = {
        "nfs", "nfs4",  "cifs",       "smb3",        "smbfs",        "9p",
        "afs", "davfs", "fuse.sshfs", "fuse.rclone", "fuse.smbnetfs"};
    return networkTypes.contains(type);
}

// Whether `path` is the folder `folder` or lies below it, for paths spelled in full without "." or
// ".." parts and without doubled or trailing slashes, as the kernel spells mount points: for them
// comparing the text is comparing part by part, which spares splitting every mount point into
// parts several times over at start-up.
bool under(QStringView folder, QStringView path)
{
    return folder == u"/" || (path.startsWith(folder) &&
                              (path.size() == folder.size() || path[folder.size()] == u'/'));
}

// Whether a mounted volume is one a user would choose as a drive, rather than a file system of
// the system's own (proc, cgroup, snap images, run-time folders and the like).
bool isUserVolume(const QString& root, const QByteArray& type, const QByteArray& device)
{
    if (root == u"/")
        return true;
    for (const char16_t* system :
         {u"/proc", u"/sys", u"/dev", u"/snap", u"/boot", u"/var/lib", u"/var/snap"}) {
        if (under(system, root))
            return false;
    }
    // /run holds the system's run-time state, but also the mount points of removable media.
    if (under(u"/run", root) && !under(u"/run/media", root))
        return false;
    if (isNetworkType(type))
        return true;
    // Package images (snaps) and memory-backed or layered file systems are the system's own.
    static const QList<QByteArray> systemTypes = {"squashfs", "overlay", "tmpfs", "ramfs",
                                                  "autofs"};
    if (systemTypes.contains(type))
        return false;
    return device.startsWith("/dev/");
}

Drives drivesAmong(const QList<Mount>& all, const Labels& labels, const QString& currentFolder)
{
    Drives result;
    QStringList roots;
    const auto add = [&](const Mount& mount) {
        if (roots.contains(mount.root))
            return;
        QString label;
        if (isNetworkType(mount.type)) {
            label = FileSystem::decodeName(mount.source);
        } else if (mount.source.startsWith("/dev/")) {
            const QByteArray device = deviceFile(mount.source);
            for (const auto& known : labels) {
                if (known.first == device)
                    label = known.second;
            }
        }
        roots << mount.root;
        result.list << Drive{mount.root, label};
    };
    for (const Mount& mount : all) {
        if (isUserVolume(mount.root, mount.type, mount.source))
            add(mount);
    }
    // The volume that holds the current folder is a drive, whatever it is: the deepest mount
    // point above it.
    if (!currentFolder.isEmpty()) {
        const QString folder = FileSystem::clean(currentFolder);
        const Mount* holder = nullptr;
        for (const Mount& mount : all) {
            if (under(mount.root, folder) &&
                (holder == nullptr || mount.root.size() > holder->root.size()))
                holder = &mount;
        }
        if (holder != nullptr) {
            add(*holder);
            result.current = holder->root;
        }
    }
    if (roots.isEmpty())
        result.list << Drive{QStringLiteral("/"), QString()};
    if (result.current.isEmpty() && !currentFolder.isEmpty())
        result.current = driveOf(currentFolder, result.list);
    return result;
}

} // namespace

Drives drives(const QString& currentFolder)
{
    return drivesAmong(mounts(), diskLabels(), currentFolder);
}

Drives drivesOfMountTable(const QByteArray& table, const QString& currentFolder)
{
    return drivesAmong(mountsOf(table), {}, currentFolder);
}

QString askLabel(const QString&)
{
    return {};
}

QStringList opticalRoots()
{
    QStringList roots;
    for (const Mount& mount : mounts()) {
        if (deviceFile(mount.source).startsWith("/dev/sr"))
            roots << mount.root;
    }
    return roots;
}

QString caption(const Drive& drive)
{
    return drive.label.isEmpty() ? drive.root
                                 : QStringLiteral("%1  [%2]").arg(drive.root, drive.label);
}

} // namespace Volumes
