#pragma once

#include <QTabWidget>

// A tabbed dialog: a strip of tabs, sharing each row equally among tabsPerRow tabs, over pages
// that cover the whole control, tab strip included, so that a control on a page is placed
// relative to the dialog's own top-left corner. The tab strip stays on top.
class TabDialog : public QTabWidget
{
    Q_OBJECT
    Q_PROPERTY(int tabsPerRow READ tabsPerRow WRITE setTabsPerRow)
    Q_PROPERTY(int tabHeight READ tabHeight WRITE setTabHeight)

public:
    explicit TabDialog(QWidget* parent = nullptr);

    int tabsPerRow() const { return m_tabsPerRow; }
    void setTabsPerRow(int count);
    // The height of the tab strip, in pixels.
    int tabHeight() const { return m_tabHeight; }
    void setTabHeight(int pixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void coverWithPages();

    int m_tabsPerRow = 3;
    int m_tabHeight = 20;
};
