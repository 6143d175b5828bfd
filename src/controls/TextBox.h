#pragma once

#include <QLineEdit>

// A one-line text box for a file's path. A file dropped on it from a file manager puts in its
// local path, as choosing it in the file list would; a drop of anything else changes nothing.
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
