#pragma once

#include "system/DirectoryReader.h"

#include <QListView>

class NameListModel;

// What the directory and file lists share: the names of one folder, read in the background and
// listed sorted, with one of them chosen at a time. The list moves to a folder only once it could
// be opened; until then, and for good when it cannot, it stays where it was. A double-click or
// Enter on a row activates it; a click never leaves the list without a choice.
class FolderView : public QListView
{
    Q_OBJECT

public:
    // The indentation of a row, in steps.
    static constexpr int LevelRole = Qt::UserRole + 1;

    explicit FolderView(QWidget* parent = nullptr);

    // The folder the list shows.
    QString path() const { return m_path; }
    // Waits, until `deadline` at most, for the reading under way to hand over its first names,
    // so that the next frame shows them.
    void waitForNames(QDeadlineTimer deadline) const { m_reader.waitForNames(deadline); }

signals:
    // The names of path() are all listed.
    void listingFinished();
    void error(const QString& message);

protected:
    enum class Report { Failures, Nothing };
    // Starts moving to `path`, listing the entries that pass the filters. With Report::Nothing a
    // folder that cannot be opened goes unreported.
    void read(const QString& path, const FileSystem::NameFilter& nameFilter,
              DirectoryReader::KindFilter kindFilter, Report report = Report::Failures);
    // Moves to `path` at once, before it is read: for a list that shows nothing yet.
    void moveTo(const QString& path);
    // The list has moved to `path`; a subclass sets its fixed rows here.
    virtual void opened(const QString& path) { Q_UNUSED(path) }
    // The row that stands chosen when the chosen name is gone; -1 for none.
    virtual int defaultRow() const { return -1; }
    // A double-click or Enter on `row`.
    virtual void activate(int row) = 0;

    // Fixed rows (each a level deeper than the one before), then the sorted names, a level deeper
    // than the last fixed row.
    void setRows(const QStringList& fixedRows, const QStringList& names);
    // The pictures of the fixed rows and of the names.
    void setIcons(const QIcon& fixedIcon, const QIcon& nameIcon);
    int fixedCount() const;
    QString nameAt(int row) const;
    // The chosen row's name; empty when no row is chosen.
    QString chosenName() const;

    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void showNames(const QStringList& names, bool complete);

    NameListModel* m_model;
    DirectoryReader m_reader;
    QString m_path;
    Report m_report = Report::Failures;
};
