#pragma once

#include "controls/FolderView.h"

// The directory list: the chain of folders from the root of the chosen drive down to the open
// folder, then the open folder's subfolders, indented one step further. A double-click or Enter
// on a folder opens it. It starts on the process's current folder.
class DirList : public FolderView
{
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    // Opens `path`, with the chain starting at the root of the drive that holds it; raises
    // change() once it is open, if it differs from the open folder. A folder that cannot be read
    // is reported through error() and the list stays where it was. A double-click or Enter on a
    // folder raises change() even for the open folder, which is then read again.
    void setPath(const QString& path);
    // The root of the drive the chain starts at.
    QString root() const { return m_root; }
    // The folder that row `row` stands for.
    QString pathOfRow(int row) const;

signals:
    void change();

protected:
    void opened(const QString& path) override;
    int defaultRow() const override;
    void activate(int row) override;

private:
    void open(const QString& path, const QString& root, bool changeIfSame = false);

    QString m_root;
    QString m_pendingRoot;       // the root for the folder being opened
    bool m_changeIfSame = false; // whether the folder being opened raises change() if open
    QStringList m_chainPaths;    // the full path of each row of the chain
};
