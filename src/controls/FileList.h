#pragma once

#include "system/DirectoryReader.h"

#include <QListView>

class NameListModel;

// The file list: the files of one directory whose names match a pattern, sorted by name. A click,
// or moving the selection with the keyboard, raises click(); a double-click or Enter raises
// dblClick(). The listed files are never opened.
class FileList : public QListView
{
    Q_OBJECT
    Q_PROPERTY(QString pattern READ pattern WRITE setPattern)

public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Lists `path`. A directory that cannot be read is reported through error() and leaves the
    // list as it was; the result says whether it could be read.
    bool setPath(const QString& path);

    // One or more wildcard patterns, separated by semicolons, matched without regard to case.
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);

    // The chosen file's name without its directory; empty when none is chosen.
    QString fileName() const;

signals:
    void click();
    void dblClick();
    // The listing of path() is complete and shown.
    void listingFinished();
    void error(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void show(const QStringList& names, bool complete);

    NameListModel* m_model;
    DirectoryReader m_reader;
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};
