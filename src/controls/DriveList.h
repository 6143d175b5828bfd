#pragma once

#include "system/Volumes.h"

#include <QComboBox>

// The drive list: the volumes a user would call drives (see Volumes.h), each shown by its root and
// label. It starts on the drive of the current folder and looks for new drives each time it is
// opened. Nothing here waits on a volume: labels that must be asked of a drive arrive when the
// drive answers, and a drive that does not answer stays without one.
class DriveList : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // The root of the chosen drive.
    QString drive() const;
    // Shows the drive whose root is `root`, without raising change().
    void showDrive(const QString& root);
    void showPopup() override;

signals:
    void change();

private:
    // Fills the list anew, and gives the drives it holds.
    Volumes::Drives refresh();
};
