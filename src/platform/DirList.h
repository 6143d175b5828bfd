#pragma once

#include <QListWidget>

// The directory list: the folders from the root down to the open one, then its subfolders.
class DirList : public QListWidget
{
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const;
    void setPath(const QString& path);

signals:
    // The open directory changed.
    void change();

private:
    QString m_path;
};
