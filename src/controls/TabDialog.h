#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

// A tabbed dialog: a strip of tabs, sharing each row equally among tabsPerRow tabs, over pages
// that cover the whole control, tab strip included, so that a control on a page is placed
// relative to the dialog's own top-left corner. Ctrl+Tab and Ctrl+Shift+Tab turn the pages from
// anywhere inside it.
class TabDialog : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentChanged)
    Q_PROPERTY(int tabsPerRow READ tabsPerRow WRITE setTabsPerRow)
    Q_PROPERTY(int tabHeight READ tabHeight WRITE setTabHeight)

public:
    explicit TabDialog(QWidget* parent = nullptr);

    int addTab(QWidget* page, const QString& caption);
    int indexOf(const QWidget* page) const;
    void setTabText(int index, const QString& caption);
    int count() const;
    QWidget* widget(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QTabBar* tabBar() const { return m_tabs; }

    int tabsPerRow() const { return m_tabsPerRow; }
    void setTabsPerRow(int count);
    // The height of the tab strip, in pixels.
    int tabHeight() const { return m_tabHeight; }
    void setTabHeight(int pixels);

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void turn(int step);

    QTabBar* m_tabs;
    QStackedWidget* m_pages;
    int m_tabsPerRow = 3;
    int m_tabHeight = 20;
};
