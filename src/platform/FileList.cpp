#include "platform/FileList.h"

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemClicked, this, &FileList::click);
    connect(this, &QListWidget::itemDoubleClicked, this, &FileList::dblClick);
}

QString FileList::path() const { return m_path; }

void FileList::setPath(const QString& path) { m_path = path; }

QString FileList::pattern() const { return m_pattern; }

void FileList::setPattern(const QString& pattern) { m_pattern = pattern; }

QString FileList::fileName() const
{
    return currentItem() != nullptr ? currentItem()->text() : QString();
}
