#pragma once

#include "system/DirectoryReader.h"

#include <QListView>

class NameListModel;

// The directory list: the chain of folders from the volume's root down to the open folder, then
// the open folder's subfolders, indented one step further. A double-click or Enter on a folder
// opens it. It starts on the process's current directory.
class DirList : public QListView
{
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens `path`, raising change() when it differs from the open folder. A folder that cannot be
    // read is reported through error() and the list stays where it was; the result says whether
    // it could be read.
    bool setPath(const QString& path);

    // The folder that row `row` stands for.
    QString pathOfRow(int row) const;

signals:
    void change();
    // The subfolders of path() are all listed.
    void listingFinished();
    void error(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool open(const QString& path, QString* failure);
    void showSubfolders(const QStringList& names, bool complete);

    NameListModel* m_model;
    DirectoryReader m_reader;
    QString m_path;
    QStringList m_chainPaths; // the full path of each row of the chain
};
