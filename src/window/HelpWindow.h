#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help: its text, compiled in, in an ordinary window of its own that can be
// resized, left open beside the main window and closed with Escape. There is one at a time.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // Shows the help window, made on first use, and brings it to the front with the focus; later
    // calls show the same window again, even after it was closed or minimized. The window is
    // deleted with `owner` (the main window, which it never keeps running: closing the main window
    // still ends the program); without an owner, when it is closed.
    static HelpWindow* showHelp(QWidget* owner);

    // A help window of its own, not the shared one; showHelp() is the way in for the program.
    explicit HelpWindow(QWidget* parent = nullptr);

    // The browser that shows the text.
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
