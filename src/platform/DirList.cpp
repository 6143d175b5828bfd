#include "platform/DirList.h"

#include <QDir>

DirList::DirList(QWidget* parent) : QListWidget(parent), m_path(QDir::currentPath()) {}

QString DirList::path() const { return m_path; }

void DirList::setPath(const QString& path)
{
    if (path == m_path)
        return;
    m_path = path;
    emit change();
}
