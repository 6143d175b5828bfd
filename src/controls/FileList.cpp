#include "controls/FileList.h"

#include "controls/NameListModel.h"
#include "system/NamePattern.h"

#include <QKeyEvent>

FileList::FileList(QWidget* parent) : QListView(parent), m_model(new NameListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true); // keeps a list of many thousands of names quick
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::clicked, this, &FileList::click);
    connect(this, &QListView::doubleClicked, this, &FileList::dblClick);
    connect(&m_reader, &DirectoryReader::found, this, &FileList::show);
    connect(&m_reader, &DirectoryReader::failed, this, &FileList::error);
}

bool FileList::setPath(const QString& path)
{
    QString failure;
    const bool readable = m_reader.start(
        path, NamePattern(m_pattern).filter(),
        [](FileSystem::Kind kind) {
            // Pipes, sockets and devices named like images are listed too; a folder, or a link
            // that leads nowhere, is not a file.
            return kind == FileSystem::Kind::File || kind == FileSystem::Kind::Other;
        },
        &failure);
    if (!readable) {
        emit error(failure);
        return false;
    }
    m_path = path;
    m_model->setNames({});
    return true;
}

void FileList::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    if (!m_path.isEmpty())
        setPath(m_path);
}

QString FileList::fileName() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return {};
    return m_model->nameAt(current.row());
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!fileName().isEmpty())
            emit dblClick();
        return;
    }
    const QString before = fileName();
    QListView::keyPressEvent(event);
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
    QListView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->clearCurrentIndex();
}

void FileList::show(const QStringList& names, bool complete)
{
    // Names shown while the reading goes on are replaced by the full, sorted list; the chosen
    // file stays chosen.
    const QString chosen = fileName();
    m_model->setNames(names);
    const int row = chosen.isEmpty() ? -1 : m_model->rowOfName(chosen);
    if (row >= 0)
        setCurrentIndex(m_model->index(row));
    if (complete)
        emit listingFinished();
}
