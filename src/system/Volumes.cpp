#include "system/Volumes.h"

#include "system/FileSystem.h"

#include <QDir>
#include <QStringList>

namespace Volumes {

bool holds(const QString& root, const QString& path)
{
    // As partsOf() reads paths, but without making lists: it is asked of every mount at start-up.
    const QString slashedRoot = QDir::fromNativeSeparators(root);
    const QString slashedPath = QDir::fromNativeSeparators(path);
    const qsizetype rootEnd = FileSystem::rootLength(slashedRoot);
    const qsizetype pathEnd = FileSystem::rootLength(slashedPath);
    // Roots compare without the separator they may end in: "C:" is "C:\", but "" is no root.
    const auto bare = [](QStringView root) { return root.endsWith(u'/') ? root.chopped(1) : root; };
    const QStringView rootOfRoot = QStringView(slashedRoot).left(rootEnd);
    const QStringView rootOfPath = QStringView(slashedPath).left(pathEnd);
    if (rootOfRoot.isEmpty() != rootOfPath.isEmpty() ||
        !FileSystem::sameName(bare(rootOfRoot), bare(rootOfPath)))
        return false;
    const auto pathParts = QStringView(slashedPath).mid(pathEnd).tokenize(u'/', Qt::SkipEmptyParts);
    auto pathPart = pathParts.begin();
    for (const QStringView part :
         QStringView(slashedRoot).mid(rootEnd).tokenize(u'/', Qt::SkipEmptyParts)) {
        if (pathPart == pathParts.end() || !FileSystem::sameName(part, *pathPart))
            return false;
        ++pathPart;
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
