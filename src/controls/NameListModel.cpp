#include "controls/NameListModel.h"

#include "system/DirectoryReader.h"

#include <algorithm>

NameListModel::NameListModel(QObject* parent) : QAbstractListModel(parent) {}

void NameListModel::setRows(const QStringList& fixedRows, const QStringList& names)
{
    beginResetModel();
    m_fixed = fixedRows;
    m_names = names;
    endResetModel();
}

void NameListModel::setNames(const QStringList& names)
{
    setRows(m_fixed, names);
}

void NameListModel::setIcons(const QIcon& fixedIcon, const QIcon& nameIcon)
{
    m_fixedIcon = fixedIcon;
    m_nameIcon = nameIcon;
}

QString NameListModel::nameAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return row < m_fixed.size() ? m_fixed[row] : m_names[row - m_fixed.size()];
}

int NameListModel::rowOfName(const QString& name) const
{
    const auto found =
        std::lower_bound(m_names.begin(), m_names.end(), name, DirectoryReader::lessByName);
    if (found == m_names.end() || *found != name)
        return -1;
    return int(m_fixed.size() + (found - m_names.begin()));
}

int NameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fixed.size() + m_names.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= rowCount())
        return {};
    const bool fixed = row < m_fixed.size();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return nameAt(row);
    case Qt::DecorationRole: {
        const QIcon& icon = fixed ? m_fixedIcon : m_nameIcon;
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case LevelRole:
        return fixed ? row : int(m_fixed.size());
    default:
        return {};
    }
}
