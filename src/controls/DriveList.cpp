#include "controls/DriveList.h"

#include "system/FileSystem.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

// What a screen reader is told about the drive list. Qt's own combo box gives its chosen text as
// its name on Linux, so that a reader would say "/" instead of what the list is for; here the
// name is the control's accessible name and the chosen drive is its value.
class AccessibleDriveList : public QAccessibleWidget
{
public:
    explicit AccessibleDriveList(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const auto* list = static_cast<const DriveList*>(widget());
        if (kind == QAccessible::Name && !list->accessibleName().isEmpty())
            return list->accessibleName();
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return list->currentText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessibleDriveList(const QString& className, QObject* object)
{
    if (className == QLatin1String("DriveList") && object != nullptr && object->isWidgetType())
        return new AccessibleDriveList(static_cast<DriveList*>(object));
    return nullptr;
}

bool isUnder(const QString& root, const QString& folder)
{
    return root == folder || root.startsWith(folder + QLatin1Char('/'));
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    static const bool accessibilityInstalled =
        (QAccessible::installFactory(accessibleDriveList), true);
    Q_UNUSED(accessibilityInstalled)
    // Filled before the Change event is connected: the first drive shown is no choice.
    setCurrentIndex(findData(refresh()));
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::change);
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::showDriveOf(const QString& path)
{
    const QSignalBlocker quiet(this);
    const int index = findData(FileSystem::volumeRoot(path));
    if (index >= 0)
        setCurrentIndex(index);
}

void DriveList::showPopup()
{
    // A volume mounted since the list was last filled appears; the choice stays, unless its
    // volume is gone: then the first drive is chosen, and that is a change like any other.
    const QString chosen = drive();
    bool chosenIsGone = false;
    {
        const QSignalBlocker quiet(this);
        refresh();
        const int index = findData(chosen);
        chosenIsGone = index < 0;
        setCurrentIndex(chosenIsGone ? 0 : index);
    }
    if (chosenIsGone)
        emit change();
    QComboBox::showPopup();
}

bool DriveList::isUserVolume(const QString& root, const QByteArray& type, const QByteArray& device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(root)
    Q_UNUSED(type)
    Q_UNUSED(device)
    return true;
#else
    if (root == QLatin1String("/"))
        return true;
    for (const char* system :
         {"/proc", "/sys", "/dev", "/snap", "/boot", "/var/lib", "/var/snap"}) {
        if (isUnder(root, QLatin1String(system)))
            return false;
    }
    // /run holds the system's run-time state, but also the mount points of removable media.
    if (isUnder(root, QLatin1String("/run")) && !isUnder(root, QLatin1String("/run/media")))
        return false;
    static const QList<QByteArray> networkTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "fuse.sshfs", "davfs", "fuse.rclone"};
    if (networkTypes.contains(type))
        return true;
    // Package images (snaps) and memory-backed or layered file systems are the system's own.
    static const QList<QByteArray> systemTypes = {"squashfs", "overlay", "tmpfs", "ramfs",
                                                  "autofs"};
    if (systemTypes.contains(type))
        return false;
    return device.startsWith("/dev/");
#endif
}

QString DriveList::refresh()
{
    // The blocker keeps filling the list from counting as a choice.
    const QSignalBlocker quiet(this);
    clear();
    QString current = FileSystem::volumeRoot(FileSystem::currentDirectory());
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        if (roots.contains(root) || !volume.isValid())
            continue;
        if (root != current && !isUserVolume(root, volume.fileSystemType(), volume.device()))
            continue;
        roots << root;
        const QString label = volume.name();
        addItem(label.isEmpty() ? root : QStringLiteral("%1  [%2]").arg(root, label), root);
    }
    if (findData(current) < 0)
        addItem(current, current);
    return current;
}
