#pragma once

#include <QListWidget>

// The file list: the files of one directory that match a pattern.
class FileList : public QListWidget
{
    Q_OBJECT
    Q_PROPERTY(QString pattern READ pattern WRITE setPattern)

public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const;
    void setPath(const QString& path);
    QString pattern() const;
    void setPattern(const QString& pattern);
    // The chosen file's name, without its directory.
    QString fileName() const;

signals:
    void click();
    void dblClick();

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};
