#include "controls/TabDialog.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

namespace {

// A tab strip whose tabs each take an equal share of the dialog's width.
class TabStrip : public QTabBar
{
public:
    explicit TabStrip(TabDialog* dialog) : QTabBar(dialog), m_dialog(dialog)
    {
        setExpanding(false);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideRight);
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        // The row's width divided without a pixel left over: the shares differ by one at most.
        const int perRow = qMax(1, m_dialog->tabsPerRow());
        const int width = m_dialog->width();
        const int column = index % perRow;
        return {(column + 1) * width / perRow - column * width / perRow, m_dialog->tabHeight()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

private:
    TabDialog* m_dialog;
};

} // namespace

TabDialog::TabDialog(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new TabStrip(this));
    // QTabWidget places its pages below the tab strip whenever it lays itself out; each time the
    // pages move or change size, put them back over the whole control.
    if (auto* pages = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly))
        pages->installEventFilter(this);
    coverWithPages();
}

void TabDialog::setTabsPerRow(int count)
{
    m_tabsPerRow = count;
    tabBar()->updateGeometry();
}

void TabDialog::setTabHeight(int pixels)
{
    m_tabHeight = pixels;
    tabBar()->updateGeometry();
}

bool TabDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        coverWithPages();
    return QTabWidget::eventFilter(watched, event);
}

void TabDialog::coverWithPages()
{
    // The pages paint no background, so the frame QTabWidget draws stays visible behind them.
    auto* pages = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (pages == nullptr)
        return;
    if (pages->geometry() != rect())
        pages->setGeometry(rect());
    tabBar()->raise();
}
