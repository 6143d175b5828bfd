#pragma once

#include <QComboBox>

// The drive list: the volumes a user would call drives.
class DriveList : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    QString drive() const;
    void setDrive(const QString& drive);

signals:
    // The chosen drive changed.
    void change();
};
