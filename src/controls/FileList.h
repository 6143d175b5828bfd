#pragma once

#include "controls/FolderView.h"

// The file list: the files of one folder whose names match a pattern, sorted by name. A click, or
// moving the choice with the keyboard, raises click(); a double-click or Enter raises dblClick().
// The listed files are never opened.
class FileList : public FolderView
{
    Q_OBJECT
    Q_PROPERTY(QString pattern READ pattern WRITE setPattern)

public:
    explicit FileList(QWidget* parent = nullptr);

    // Lists `path`. A folder that cannot be read is reported through error() and the list stays
    // as it was.
    void setPath(const QString& path);

    // A wildcard pattern such as "*.pce", matched without regard to case.
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);

    // The chosen file's name without its folder; empty when none is chosen.
    QString fileName() const { return chosenName(); }

signals:
    void click();
    void dblClick();

protected:
    void activate(int row) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QString m_pattern = QStringLiteral("*.*");
};
