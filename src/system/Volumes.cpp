#include "system/Volumes.h"

#include "system/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <climits>
#include <cstdlib>
#endif

namespace Volumes {

namespace {

// Whether `path` is `root` or lies below it, part by part.
bool holds(const QString& root, const QString& path)
{
    QString rootOfRoot;
    QString rootOfPath;
    const QStringList rootParts = FileSystem::partsOf(root, &rootOfRoot);
    const QStringList pathParts = FileSystem::partsOf(path, &rootOfPath);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
#endif
    if (rootOfRoot.compare(rootOfPath, sensitivity) != 0 || rootParts.size() > pathParts.size())
        return false;
    for (qsizetype i = 0; i < rootParts.size(); ++i) {
        if (rootParts[i].compare(pathParts[i], sensitivity) != 0)
            return false;
    }
    return true;
}

QString deepestHolder(const QStringList& roots, const QString& path)
{
    QString best;
    for (const QString& root : roots) {
        if (holds(root, path) && (best.isEmpty() || root.size() > best.size()))
            best = root;
    }
    return best;
}

#ifndef Q_OS_WIN

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

// The kernel's table of this process's mounts. It is made by the kernel on reading and asks no
// volume anything, so it answers even when a mounted share does not.
QList<Mount> mounts()
{
    QList<Mount> result;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {Mount{QStringLiteral("/"), {}, {}}};
    for (const QByteArray& line : table.readAll().split('\n')) {
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

// A device's file with links resolved: /dev/disk/by-label/X and /dev/mapper/Y lead to /dev/dm-0.
QByteArray deviceFile(const QByteArray& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) != nullptr ? QByteArray(resolved) : path;
}

// The labels of the disks the system knows, by device file, as udev names them in /dev.
QList<QPair<QByteArray, QString>> diskLabels()
{
    QList<QPair<QByteArray, QString>> labels;
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QString& name : byLabel.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        // udev writes characters it cannot use in a file name as \xNN.
        QByteArray label = name.toUtf8();
        for (qsizetype at = label.indexOf("\\x"); at >= 0; at = label.indexOf("\\x", at + 1))
            label.replace(at, 4, QByteArray(1, char(label.mid(at + 2, 2).toInt(nullptr, 16))));
        labels.append({deviceFile(QFile::encodeName(byLabel.filePath(name))),
                       QString::fromUtf8(label)});
    }
    return labels;
}

bool isNetworkType(const QByteArray& type)
{
    static const QList<QByteArray> networkTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "davfs", "fuse.sshfs",
        "fuse.rclone", "fuse.smbnetfs"};
    return networkTypes.contains(type);
}

// Whether a mounted volume is one a user would choose as a drive, rather than a file system of
// the system's own (proc, cgroup, snap images, run-time folders and the like).
bool isUserVolume(const QString& root, const QByteArray& type, const QByteArray& device)
{
    if (root == u"/")
        return true;
    for (const char* system : {"/proc", "/sys", "/dev", "/snap", "/boot", "/var/lib", "/var/snap"}) {
        if (holds(QLatin1String(system), root))
            return false;
    }
    // /run holds the system's run-time state, but also the mount points of removable media.
    if (holds(QStringLiteral("/run"), root) && !holds(QStringLiteral("/run/media"), root))
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

#endif

} // namespace

#ifdef Q_OS_WIN

QList<Drive> drives()
{
    // A drive without a medium must fail quietly, not with Windows' "There is no disk" box, when
    // its label is asked or its folder read.
    static const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Q_UNUSED(previous)
    QList<Drive> result;
    const DWORD letters = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (letters & (1u << letter))
            result << Drive{QStringLiteral("%1:\\").arg(QChar(u'A' + letter)), QString(), true};
    }
    // A program started in a shared folder that has no drive letter: its share is a drive too.
    QString error;
    const QString current = FileSystem::currentDirectory(&error);
    if (current.startsWith(QLatin1String("\\\\")))
        result << Drive{driveOf(current), QString(), true};
    return result;
}

QString askLabel(const QString& root)
{
    const std::wstring wideRoot = root.toStdWString();
    if (GetDriveTypeW(wideRoot.c_str()) == DRIVE_REMOTE) {
        wchar_t share[MAX_PATH];
        DWORD length = MAX_PATH;
        const std::wstring device = root.left(2).toStdWString();
        if (WNetGetConnectionW(device.c_str(), share, &length) == NO_ERROR)
            return QString::fromWCharArray(share);
    }
    wchar_t label[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(wideRoot.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                              nullptr, 0))
        return QString::fromWCharArray(label);
    return {};
}

#else

QList<Drive> drives()
{
    const QList<Mount> all = mounts();
    const auto labels = diskLabels();
    QList<Drive> result;
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
        result << Drive{mount.root, label};
    };
    for (const Mount& mount : all) {
        if (isUserVolume(mount.root, mount.type, mount.source))
            add(mount);
    }
    QString error;
    const QString current = FileSystem::currentDirectory(&error);
    if (!current.isEmpty()) {
        QStringList allRoots;
        for (const Mount& mount : all)
            allRoots << mount.root;
        const QString holder = deepestHolder(allRoots, current);
        for (const Mount& mount : all) {
            if (mount.root == holder)
                add(mount);
        }
    }
    if (roots.isEmpty())
        result << Drive{QStringLiteral("/"), QString()};
    return result;
}

QString askLabel(const QString&)
{
    return {};
}

#endif

QString driveOf(const QString& path)
{
    return driveOf(path, drives());
}

QString driveOf(const QString& path, const QList<Drive>& among)
{
    // Spelled as the drives spell it, whatever the case the path gives a drive letter in; a path on
    // no drive known goes by its own root.
    QStringList roots;
    for (const Drive& drive : among)
        roots << drive.root;
    QString holder = deepestHolder(roots, path);
    if (!holder.isEmpty())
        return holder;
    QString root;
    FileSystem::partsOf(path, &root);
    return root;
}

} // namespace Volumes
