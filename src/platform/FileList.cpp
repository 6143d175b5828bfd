#include "platform/FileList.h"

#include "platform/NameListModel.h"
#include "platform/NamePattern.h"

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
    // The current row is always the chosen one, also when it became current only because the
    // list took the focus, so that what Enter starts is what the list shows as chosen.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !selectionModel()->isSelected(current))
                    selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            });
}

bool FileList::setPath(const QString& path)
{
    QString reason;
    auto directory = FileSystem::Directory::open(path, &reason);
    if (!directory) {
        emit error(QStringLiteral("Cannot read the folder %1: %2.").arg(path, reason));
        return false;
    }
    m_path = path;
    m_model->setNames({});
    m_reader.start(std::move(directory), NamePattern(m_pattern).filter(),
                   [](FileSystem::Kind kind) {
                       // Pipes, sockets and devices named like images are listed too; a
                       // folder, or a link that leads nowhere, is not a file.
                       return kind == FileSystem::Kind::File || kind == FileSystem::Kind::Other;
                   });
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
    return m_model->nameAt(currentIndex().row());
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!fileName().isEmpty())
            emit dblClick();
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit click();
}

void FileList::show(const QStringList& names, bool complete, const QString& error)
{
    // Names shown while the reading goes on are replaced by the full, sorted list; the chosen
    // file stays chosen.
    const QString chosen = fileName();
    m_model->setNames(names);
    const int row = chosen.isEmpty() ? -1 : m_model->rowOfName(chosen);
    if (row >= 0)
        setCurrentIndex(m_model->index(row));
    if (!complete)
        return;
    if (!error.isEmpty())
        emit this->error(
            QStringLiteral("Cannot read all of the folder %1: %2.").arg(m_path, error));
    emit listingFinished();
}
