#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

// The rows of a directory or file list: a few fixed rows first (the directory list's chain of
// open folders), then the sorted names of the folder's entries. Each row has a level, its
// indentation in the list.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int LevelRole = Qt::UserRole + 1;

    explicit NameListModel(QObject* parent = nullptr);

    void setRows(const QStringList& fixedRows, const QStringList& names);
    void setNames(const QStringList& names);
    void setIcons(const QIcon& fixedIcon, const QIcon& nameIcon);

    int fixedCount() const { return int(m_fixed.size()); }
    QString nameAt(int row) const;
    // The row showing `name` among the names, or -1.
    int rowOfName(const QString& name) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList m_fixed;
    QStringList m_names;
    QIcon m_fixedIcon;
    QIcon m_nameIcon;
};
