#include "controls/DirList.h"

#include "system/Volumes.h"

#include "folder-closed.xpm"
#include "folder-open.xpm"

#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {

// Indents each row by its level, so that the chain reads as a path and the subfolders sit under
// the open folder.
class IndentDelegate : public QStyledItemDelegate
{
public:
    explicit IndentDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.setLeft(option->rect.left() + indent(*option) * level(index));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(option) * level(index);
        return size;
    }

private:
    static int level(const QModelIndex& index) { return index.data(FolderView::LevelRole).toInt(); }
    static int indent(const QStyleOptionViewItem& option)
    {
        return option.fontMetrics.height() / 2 + 2;
    }
};

bool isFolder(FileSystem::Kind kind)
{
    return kind == FileSystem::Kind::Directory;
}

} // namespace

DirList::DirList(QWidget* parent) : FolderView(parent)
{
    setItemDelegate(new IndentDelegate(this));
    // Folder pictures of our own, compiled in: the style's would be looked up in the desktop's icon
    // theme on disk, which costs more time at start-up than the rest of the list together.
    setIcons(QIcon(QPixmap(folder_open_xpm)), QIcon(QPixmap(folder_closed_xpm)));
    // Where the program was started, so that browsing begins where the emulator is looked for. The
    // list shows it at once; the file list reports it if it cannot be read.
    const Result<QString> current = FileSystem::currentDirectory();
    QString start = current.value();
    if (!current.ok()) {
        start = FileSystem::clean(QDir::homePath());
        QMetaObject::invokeMethod(
            this,
            [this, error = current.reason(), start] {
                emit this->error(QStringLiteral("Cannot show the folder the program was started "
                                                "in: %1. Showing %2 instead.")
                                     .arg(error, start));
            },
            Qt::QueuedConnection);
    }
    m_pendingRoot = Volumes::drives(start).current;
    moveTo(start);
    read(start, nullptr, isFolder, Report::Nothing);
}

void DirList::setPath(const QString& path)
{
    const QString target = FileSystem::clean(path);
    open(target, Volumes::driveOf(target));
}

void DirList::open(const QString& path, const QString& root, bool changeIfSame)
{
    m_pendingRoot = root;
    m_changeIfSame = changeIfSame;
    read(path, nullptr, isFolder);
}

void DirList::opened(const QString& path)
{
    const QString before = m_chainPaths.value(m_chainPaths.size() - 1);
    m_root = m_pendingRoot;
    QString ignored;
    const int rootDepth = int(FileSystem::partsOf(m_root, &ignored).size());
    const QStringList parts = FileSystem::partsOf(path, &ignored);
    m_chainPaths = QStringList{m_root};
    QStringList rows{m_root};
    for (int i = rootDepth; i < parts.size(); ++i) {
        m_chainPaths << FileSystem::join(m_chainPaths.last(), parts[i]);
        rows << parts[i];
    }
    setRows(rows, {});
    setCurrentIndex(model()->index(defaultRow(), 0));
    if (!before.isEmpty() && (before != path || m_changeIfSame))
        emit change();
}

int DirList::defaultRow() const
{
    return fixedCount() - 1;
}

QString DirList::pathOfRow(int row) const
{
    if (row < 0 || row >= model()->rowCount())
        return {};
    if (row < m_chainPaths.size())
        return m_chainPaths[row];
    return FileSystem::join(path(), nameAt(row));
}

void DirList::activate(int row)
{
    // Going up or down from here keeps the chain's root: a folder that is another volume's mount
    // point, or that a link leads to, is still reached from the drive shown. The open folder,
    // opened again, is read again by the file list too: the user asks for what is there now.
    const QString target = pathOfRow(row);
    if (!target.isEmpty())
        open(target, m_root, true);
}
