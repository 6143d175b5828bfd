#include "platform/DirList.h"

#include "platform/NameListModel.h"

#include "folder-closed.xpm"
#include "folder-open.xpm"

#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QStorageInfo>
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
    const QStorageInfo volume(path);
    QString root = volume.isValid() ? QDir::toNativeSeparators(volume.rootPath()) : QString();
    if (root.isEmpty() || !path.startsWith(root))
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

    // Where the program was started, so that browsing begins where the emulator is looked for.
    QString reason;
    open(FileSystem::currentDirectory(), &reason);
}

bool DirList::setPath(const QString& path)
{
    const QString target = normalised(path);
    const QString before = m_path;
    QString reason;
    if (!open(target, &reason)) {
        emit error(QStringLiteral("Cannot read the folder %1: %2.").arg(target, reason));
        return false;
    }
    if (m_path != before)
        emit change();
    return true;
}

bool DirList::open(const QString& path, QString* reason)
{
    auto directory = FileSystem::Directory::open(path, reason);
    const QStringList chain = chainOf(path);
    if (!directory) {
        if (m_path.isEmpty()) { // nothing readable yet: show where we are all the same
            m_path = path;
            m_chainPaths = chain;
            m_model->setRows(chain, {});
        }
        return false;
    }
    m_path = path;
    m_chainPaths = chain;
    QStringList names;
    for (const QString& folder : chain)
        names << (names.isEmpty() ? folder : folder.mid(folder.lastIndexOf(QDir::separator()) + 1));
    m_model->setRows(names, {});
    setCurrentIndex(m_model->index(int(chain.size()) - 1));
    m_reader.start(
        std::move(directory), [](const char* name, std::size_t) { return name[0] != '.'; },
        [](FileSystem::Kind kind) { return kind == FileSystem::Kind::Directory; });
    return true;
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

void DirList::showSubfolders(const QStringList& names, bool complete, const QString& error)
{
    const int current = currentIndex().row();
    const QString chosen = current >= m_model->fixedCount() ? m_model->nameAt(current) : QString();
    m_model->setNames(names);
    const int row = chosen.isEmpty() ? current : m_model->rowOfName(chosen);
    setCurrentIndex(m_model->index(row >= 0 ? row : m_model->fixedCount() - 1));
    if (!complete)
        return;
    if (!error.isEmpty())
        emit this->error(
            QStringLiteral("Cannot read all of the folder %1: %2.").arg(m_path, error));
    emit listingFinished();
}
