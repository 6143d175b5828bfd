#include "controls/FileList.h"

#include "system/NamePattern.h"

#include <QKeyEvent>

namespace {

// Pipes, sockets and devices named like images are listed too; a folder, or a link that leads
// nowhere, is not a file.
bool isFile(FileSystem::Kind kind)
{
    return kind == FileSystem::Kind::File || kind == FileSystem::Kind::Other;
}

} // namespace

FileList::FileList(QWidget* parent) : FolderView(parent)
{
    connect(this, &QListView::clicked, this, &FileList::click);
}

void FileList::setPath(const QString& path)
{
    if (this->path().isEmpty())
        moveTo(path);
    read(path, namePattern(m_pattern), isFile);
}

void FileList::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    if (!path().isEmpty())
        setPath(path());
}

void FileList::activate(int row)
{
    Q_UNUSED(row) // the chosen row: a double-click chooses before it activates
    if (!fileName().isEmpty())
        emit dblClick();
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    const QString before = fileName();
    FolderView::keyPressEvent(event);
    // The key may have moved the choice; cppcheck cannot see that the base class changes it.
    // cppcheck-suppress knownConditionTrueFalse
    if (fileName() != before && !fileName().isEmpty())
        emit click();
}

void FileList::focusInEvent(QFocusEvent* event)
{
    // Taking the focus chooses nothing: the first arrow key chooses the first file, as a click
    // would, and only a chosen file is started by Enter.
    const bool hadCurrent = currentIndex().isValid();
    FolderView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->clearCurrentIndex();
}
