#include "controls/DirList.h"

#include "controls/NameListModel.h"

#include "folder-closed.xpm"
#include "folder-open.xpm"

#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {

// Indents each row by its level, so that the chain reads as a path and the subfolders sit under
// the open folder.
class IndentDelegate : public QStyledItemDelegate
{
public:
    explicit IndentDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() +
                              indent(option) * index.data(NameListModel::LevelRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(option) * index.data(NameListModel::LevelRole).toInt();
        return size;
    }

private:
    static int indent(const QStyleOptionViewItem& option)
    {
        return option.fontMetrics.height() / 2 + 2;
    }
};

// An absolute, clean form of `path`, with no separator at its end but at a root.
QString normalised(const QString& path)
{
    QString absolute =
        QDir::isAbsolutePath(path) ? path : FileSystem::join(FileSystem::currentDirectory(), path);
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(absolute)));
}

// The folders from the root of the volume that holds `path` down to `path` itself.
QStringList chainOf(const QString& path)
{
    QString root = FileSystem::volumeRoot(path);
    if (!path.startsWith(root))
        root = QDir::toNativeSeparators(QDir::rootPath());
    if (!path.startsWith(root)) // a path Qt cannot make sense of: start at its first separator
        root = path.left(path.indexOf(QDir::separator()) + 1);

    QStringList chain{root};
    QString current = root;
    for (const QString& name : path.mid(root.size()).split(QDir::separator(), Qt::SkipEmptyParts)) {
        current = FileSystem::join(current, name);
        chain << current;
    }
    return chain;
}

} // namespace

DirList::DirList(QWidget* parent) : QListView(parent), m_model(new NameListModel(this))
{
    // Folder pictures of our own, compiled in: the style's would be looked up in the desktop's icon
    // theme on disk, which costs more time at start-up than the rest of the list together.
    m_model->setIcons(QIcon(QPixmap(folder_open_xpm)), QIcon(QPixmap(folder_closed_xpm)));
    setModel(m_model);
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { setPath(pathOfRow(index.row())); });
    connect(&m_reader, &DirectoryReader::found, this, &DirList::showSubfolders);
    connect(&m_reader, &DirectoryReader::failed, this, &DirList::error);

    // Where the program was started, so that browsing begins where the emulator is looked for.
    QString failure;
    open(FileSystem::currentDirectory(), &failure);
}

bool DirList::setPath(const QString& path)
{
    const QString target = normalised(path);
    const QString before = m_path;
    QString failure;
    if (!open(target, &failure)) {
        emit error(failure);
        return false;
    }
    if (m_path != before)
        emit change();
    return true;
}

bool DirList::open(const QString& path, QString* failure)
{
    const bool readable = m_reader.start(
        path, [](const char* name, std::size_t) { return name[0] != '.'; },
        [](FileSystem::Kind kind) { return kind == FileSystem::Kind::Directory; }, failure);
    // A folder that cannot be read leaves the list where it was, unless it shows nothing yet:
    // then it shows where it is all the same.
    if (!readable && !m_path.isEmpty())
        return false;
    m_path = path;
    m_chainPaths = chainOf(path);
    QStringList names;
    for (const QString& folder : m_chainPaths)
        names << (names.isEmpty() ? folder : folder.mid(folder.lastIndexOf(QDir::separator()) + 1));
    m_model->setRows(names, {});
    setCurrentIndex(m_model->index(int(names.size()) - 1));
    return readable;
}

QString DirList::pathOfRow(int row) const
{
    if (row < 0 || row >= m_model->rowCount())
        return {};
    if (row < m_chainPaths.size())
        return m_chainPaths[row];
    return FileSystem::join(m_path, m_model->nameAt(row));
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        setPath(pathOfRow(currentIndex().row()));
        return;
    }
    QListView::keyPressEvent(event);
}

void DirList::showSubfolders(const QStringList& names, bool complete)
{
    const int current = currentIndex().row();
    const QString chosen = current >= m_model->fixedCount() ? m_model->nameAt(current) : QString();
    m_model->setNames(names);
    const int row = chosen.isEmpty() ? current : m_model->rowOfName(chosen);
    setCurrentIndex(m_model->index(row >= 0 ? row : m_model->fixedCount() - 1));
    if (complete)
        emit listingFinished();
}
