#pragma once

#include <QComboBox>

// The drive list: the volumes a user would call drives. On Windows the drive letters; elsewhere
// the root file system and every mounted volume on a disk, removable medium or network share,
// each shown by its mount point and label. It starts on the volume of the current directory and
// looks for new volumes each time it is opened.
class DriveList : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // The root of the chosen drive.
    QString drive() const;
    // Shows the drive that holds `path`, without raising change().
    void showDriveOf(const QString& path);
    void showPopup() override;

    // Whether a mounted volume is one a user would choose as a drive, rather than a file system
    // of the system's own (proc, cgroup, snap images, run-time folders and the like).
    static bool isUserVolume(const QString& root, const QByteArray& type, const QByteArray& device);

signals:
    void change();

private:
    // Fills the list anew; gives the root of the volume that holds the current directory.
    QString refresh();
};
