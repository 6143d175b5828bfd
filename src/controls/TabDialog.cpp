#include "controls/TabDialog.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

TabDialog::TabDialog(QWidget* parent) : QTabWidget(parent)
{
    // QTabWidget places its pages below the tab strip whenever it lays itself out; each time the
    // pages move or change size, put them back over the whole control.
    if (auto* pages = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly))
        pages->installEventFilter(this);
    coverWithPages();
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
