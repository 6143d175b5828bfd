#include "system/Volumes.h"

#include "system/FileSystem.h"

#include <windows.h>

namespace Volumes {

Drives drives(const QString& currentFolder)
{
    Drives result;
    const DWORD letters = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (letters & (1u << letter))
            result.list << Drive{QStringLiteral("%1:\\").arg(QChar(u'A' + letter)), QString(),
                                 true};
    }
    // A program started in a shared folder that has no drive letter: its share is a drive too,
    // with the share's root taken from the path itself.
    if (currentFolder.startsWith(QLatin1String("\\\\"))) {
        QString share;
        FileSystem::partsOf(currentFolder, &share);
        result.list << Drive{share, QString(), true};
    }
    if (!currentFolder.isEmpty())
        result.current = driveOf(currentFolder, result.list);
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

QStringList opticalRoots()
{
    QStringList roots;
    for (const Drive& drive : drives(QString()).list) {
        const std::wstring root = drive.root.toStdWString();
        if (GetDriveTypeW(root.c_str()) == DRIVE_CDROM)
            roots << drive.root;
    }
    return roots;
}

QString caption(const Drive& drive)
{
    // As Windows' own drive lists show them: "c: [SYSTEM]"; a share without a letter by its name.
    const QString letter =
        drive.root.startsWith(QLatin1String("\\\\")) ? drive.root : drive.root.left(2).toLower();
    return drive.label.isEmpty() ? letter : QStringLiteral("%1 [%2]").arg(letter, drive.label);
}

} // namespace Volumes
