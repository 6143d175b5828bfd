#include "platform/DriveList.h"

#include <QDir>

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    addItem(QDir::rootPath());
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::change);
}

QString DriveList::drive() const { return currentText(); }

void DriveList::setDrive(const QString& drive) { setCurrentText(drive); }
