#include "system/Volumes.h"

#include "system/FileSystem.h"

#include <QStringList>

namespace Volumes {

bool holds(const QString& root, const QString& path)
{
    QString rootOfRoot;
    QString rootOfPath;
    const QStringList rootParts = FileSystem::partsOf(root, &rootOfRoot);
    const QStringList pathParts = FileSystem::partsOf(path, &rootOfPath);
    if (!FileSystem::sameName(rootOfRoot, rootOfPath) || rootParts.size() > pathParts.size())
        return false;
    for (qsizetype i = 0; i < rootParts.size(); ++i) {
        if (!FileSystem::sameName(rootParts[i], pathParts[i]))
            return false;
    }
    return true;
}

Drives drives()
{
    return drives(FileSystem::currentDirectory().value());
}

QString driveOf(const QString& path)
{
    return driveOf(path, drives().list);
}

QString driveOf(const QString& path, const QList<Drive>& among)
{
    // Spelled as the drives spell it, whatever the case the path gives a drive letter in.
    QString holder;
    for (const Drive& drive : among) {
        if (holds(drive.root, path) && (holder.isEmpty() || drive.root.size() > holder.size()))
            holder = drive.root;
    }
    if (!holder.isEmpty())
        return holder;
    QString root;
    FileSystem::partsOf(path, &root);
    return root;
}

} // namespace Volumes
