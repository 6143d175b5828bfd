#include "controls/FolderView.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QKeyEvent>

#include <algorithm>

// The rows: a few fixed ones first (the directory list's chain of open folders), then the sorted
// names of the folder's entries.
class NameListModel : public QAbstractListModel
{
public:
    explicit NameListModel(QObject* parent) : QAbstractListModel(parent) {}

    void setRows(const QStringList& fixedRows, const QStringList& names)
    {
        beginResetModel();
        m_fixed = fixedRows;
        m_names = names;
        endResetModel();
    }
    const QStringList& fixedRows() const { return m_fixed; }
    void setIcons(const QIcon& fixedIcon, const QIcon& nameIcon)
    {
        m_fixedIcon = fixedIcon;
        m_nameIcon = nameIcon;
    }

    QString nameAt(int row) const
    {
        if (row < 0 || row >= rowCount())
            return {};
        return row < m_fixed.size() ? m_fixed[row] : m_names[row - m_fixed.size()];
    }

    // The row showing `name` among the names, or -1.
    int rowOfName(const QString& name) const
    {
        const auto found =
            std::lower_bound(m_names.begin(), m_names.end(), name, DirectoryReader::lessByName);
        if (found == m_names.end() || *found != name)
            return -1;
        return int(m_fixed.size() + (found - m_names.begin()));
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_fixed.size() + m_names.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const int row = index.row();
        if (!index.isValid() || row >= rowCount())
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return nameAt(row);
        if (role == FolderView::LevelRole)
            return int(std::min<qsizetype>(row, m_fixed.size()));
        if (role == Qt::DecorationRole) {
            const QIcon& icon = row < m_fixed.size() ? m_fixedIcon : m_nameIcon;
            return icon.isNull() ? QVariant() : QVariant(icon);
        }
        return {};
    }

private:
    QStringList m_fixed;
    QStringList m_names;
    QIcon m_fixedIcon;
    QIcon m_nameIcon;
};

FolderView::FolderView(QWidget* parent) : QListView(parent), m_model(new NameListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true); // keeps a list of many thousands of names quick
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { activate(index.row()); });
    connect(&m_reader, &DirectoryReader::opened, this, [this](const QString& path) {
        m_report = Report::Failures;
        moveTo(path);
    });
    connect(&m_reader, &DirectoryReader::found, this, &FolderView::showNames);
    connect(&m_reader, &DirectoryReader::failed, this, [this](const QString& message) {
        // The highlight leaves the row that was tried for the one the list stands on, so that
        // the list does not look as if the failed folder were open.
        if (defaultRow() >= 0)
            setCurrentIndex(m_model->index(defaultRow()));
        if (m_report == Report::Failures)
            emit error(message);
        m_report = Report::Failures;
    });
}

void FolderView::read(const QString& path, const FileSystem::NameFilter& nameFilter,
                      DirectoryReader::KindFilter kindFilter, Report report)
{
    m_report = report;
    m_reader.start(path, nameFilter, kindFilter);
}

void FolderView::moveTo(const QString& path)
{
    m_path = path;
    m_model->setRows(m_model->fixedRows(), {});
    opened(path);
}

void FolderView::setIcons(const QIcon& fixedIcon, const QIcon& nameIcon)
{
    m_model->setIcons(fixedIcon, nameIcon);
}

void FolderView::setRows(const QStringList& fixedRows, const QStringList& names)
{
    m_model->setRows(fixedRows, names);
}

int FolderView::fixedCount() const
{
    return int(m_model->fixedRows().size());
}

QString FolderView::nameAt(int row) const
{
    return m_model->nameAt(row);
}

QString FolderView::chosenName() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return {};
    return m_model->nameAt(current.row());
}

void FolderView::showNames(const QStringList& names, bool complete)
{
    // Names shown while the reading goes on are replaced by the full, sorted list; the chosen name
    // stays chosen.
    const int current = currentIndex().row();
    const QString chosen = current >= fixedCount() ? chosenName() : QString();
    m_model->setRows(m_model->fixedRows(), names);
    const int row = chosen.isEmpty() ? -1 : m_model->rowOfName(chosen);
    if (row >= 0)
        setCurrentIndex(m_model->index(row));
    else if (current >= 0 && current < fixedCount())
        setCurrentIndex(m_model->index(current));
    else if (defaultRow() >= 0)
        setCurrentIndex(m_model->index(defaultRow()));
    if (complete)
        emit listingFinished();
}

void FolderView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!chosenName().isEmpty())
            activate(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags FolderView::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const
{
    // Qt's own rules let a Ctrl+click take the choice away, and a click below the last row clear
    // it; here a click on a row chooses it and anything else leaves the choice alone.
    if (!index.isValid() || (event != nullptr && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}
